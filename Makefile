# Set-up and everyday commands. `make run` and `make test` install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

FUZZ_SECONDS ?= 60
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: deps configure build run run-fleet test test-sanitize fuzz bench package screenshots clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The programs and the command line (where the usage analysis lives), then the program named by
# PROGRAM (zemra unless given: `make run PROGRAM=zemra-fleet`) with ARGS; the tests are built by
# `make test`.
PROGRAM ?= zemra
ARGS ?=
run: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target zemra zemra-cli zemra-fleet
	$(BUILD_DIR)/$(PROGRAM) $(ARGS)

# The fleet program, zemra-fleet, on the default register or ARGS="--register LOCATION".
run-fleet: PROGRAM = zemra-fleet
run-fleet: run

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	@cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZEMRA_SANITIZE=ON >/dev/null
	@cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The record reader under libFuzzer for FUZZ_SECONDS, seeded with the test inputs.
fuzz: deps
	@cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DZEMRA_FUZZ=ON >/dev/null
	@cmake --build build-fuzz --target fuzz_counterrecord
	mkdir -p build-fuzz/corpus
	build-fuzz/tests/fuzz_counterrecord -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
		-print_final_stats=1 build-fuzz/corpus tests/data

bench: BUILD_TYPE = Release
bench: BUILD_DIR = build-bench
bench: build
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bench/zemra_bench

# A Debian package (zemra_<version>_<arch>.deb) in build-package/.
package: deps
	@cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
		-DCMAKE_INSTALL_PREFIX=/usr >/dev/null
	@cmake --build build-package -j $(JOBS)
	cd build-package && cpack
	dpkg-deb --contents build-package/zemra_*.deb

screenshots: configure
	@cmake --build $(BUILD_DIR) --target screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/screenshots docs/screenshots

clean:
	rm -rf build build-*
