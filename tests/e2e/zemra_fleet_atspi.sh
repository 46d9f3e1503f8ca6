#!/usr/bin/env bash
# Runs the real zemra-fleet under Xvfb, in a D-Bus session of its own with the AT-SPI bus, on a
# register that the real zemra-cli made, and reaches its controls over AT-SPI as a screen reader
# does (zemra_fleet_atspi.py says what is checked).
# Usage: zemra_fleet_atspi.sh /path/to/zemra-fleet /path/to/zemra-cli
set -uo pipefail

here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
source "$here/xvfb_session.sh"
# Debian's own Python: pyatspi and the gi modules are Debian packages, which a Python installed
# apart (first on PATH) does not see.
python=/usr/bin/python3

if [ -z "${ZEMRA_ATSPI_SESSION:-}" ]; then
    session_require Xvfb xdotool openbox dbus-run-session dbus-update-activation-environment
    for tool in /usr/libexec/at-spi-bus-launcher /usr/libexec/at-spi2-registryd "$python"; do
        if [ ! -x "$tool" ]; then
            echo "SKIP: $tool is not installed (scripts/install-deps brings it)"
            exit 77
        fi
    done
    # Absent is a skip; present but failing to import is a fault, which the script then shows.
    if ! "$python" -c 'import importlib.util as u, sys; sys.exit(not u.find_spec("pyatspi"))'; then
        echo "SKIP: $python has no pyatspi (python3-pyatspi; scripts/install-deps brings it)"
        exit 77
    fi
    # The session bus, and with it the AT-SPI bus it starts, ends with the script.
    ZEMRA_ATSPI_SESSION=1 exec dbus-run-session -- bash "${BASH_SOURCE[0]}" "$@"
fi

fleet=$(readlink -f "$1")
cli=$(readlink -f "$2")
unset ZEMRA_REGISTER AT_SPI_BUS_ADDRESS NO_AT_BRIDGE
session_start 241 290 1280x800x24
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
export LC_ALL=C.UTF-8 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The bus launcher and the registry, started by the session bus, need the display: the registry
# makes the key presses that the test asks for.
dbus-update-activation-environment DISPLAY XDG_RUNTIME_DIR ||
    fail "the session bus did not take the display"

# A register of one aircraft with one read-out, made by the command line.
register="$work/fleet.sqlite" aircraft=E2E-ONE taken=2025-03-01
printf '%s\r\n' 0001 0002 000a 0050 0280 09b0 09e5 04dc 02f3 01c9 0141 00ea 009a 0060 001b \
    0003 0002 0001 0258 0015 0315 0029 >"$work/a.dat"
"$cli" register aircraft --register "$register" --aircraft "$aircraft" --combine running \
    >/dev/null || fail "zemra-cli could not add the aircraft"
"$cli" register add --register "$register" --aircraft "$aircraft" --date "$taken" "$work/a.dat" \
    >/dev/null || fail "zemra-cli could not add the read-out"

"$fleet" --register "$register" &
app_pid=$!
wait_window "ZEMRA Fleet — " >/dev/null || fail "the main window did not appear"
"$python" "$here/zemra_fleet_atspi.py" "$app_pid" "$register" "$aircraft" "$taken" \
    "$work/a.dat" ||
    fail "over AT-SPI (above)"
# The script ended the program with File > Quit.
wait_exit || fail "Quit, pressed over AT-SPI, did not end the program"
[ "$code" = 0 ] || fail "exit code $code after Quit"
echo "PASS"
