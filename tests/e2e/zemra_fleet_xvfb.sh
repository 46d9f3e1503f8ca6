#!/usr/bin/env bash
# Runs the real zemra-fleet under Xvfb with a window manager, on a register that the real
# zemra-cli made, and drives it from outside with the keyboard as a user would.
# Usage: zemra_fleet_xvfb.sh /path/to/zemra-fleet /path/to/zemra-cli
set -uo pipefail

fleet=$(readlink -f "$1")
cli=$(readlink -f "$2")
unset QT_QPA_PLATFORM ZEMRA_REGISTER
for tool in Xvfb xdotool openbox; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps brings it)"
        exit 77
    fi
done

work=$(mktemp -d)
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" LC_ALL=C.UTF-8
cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null
    [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

for n in $(seq 141 190); do
    [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
openbox >/dev/null 2>&1 &
wm_pid=$!
sleep 0.5

# Waits for a visible window whose name matches; prints its id.
wait_window() {
    local pattern=$1 id
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | tail -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits until no visible window's name matches.
wait_gone() {
    for _ in $(seq 100); do
        [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    return 1
}

wait_exit() {
    for _ in $(seq 100); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$app_pid" 2>/dev/null && return 1
    wait "$app_pid"
    code=$?
    app_pid=
}

# A register of one aircraft with one read-out, made by the command line.
register="$work/fleet.sqlite"
printf '%s\r\n' 0001 0002 000a 0050 0280 09b0 09e5 04dc 02f3 01c9 0141 00ea 009a 0060 001b \
    0003 0002 0001 0258 0015 0315 0029 >"$work/a.dat"
"$cli" register aircraft --register "$register" --aircraft E2E-ONE --combine running >/dev/null ||
    fail "zemra-cli could not add the aircraft"
"$cli" register add --register "$register" --aircraft E2E-ONE --date 2025-03-01 "$work/a.dat" \
    >/dev/null || fail "zemra-cli could not add the read-out"

# Run 1: the register named on the command line; Enter opens the lead's page, Escape closes it,
# Ctrl+Q ends the program, and the register is remembered.
"$fleet" --register "$register" &
app_pid=$!
main=$(wait_window "ZEMRA Fleet — ") || fail "the main window did not appear"
xdotool windowactivate --sync "$main" 2>/dev/null
for _ in $(seq 100); do
    name=$(xdotool getwindowname "$main")
    [ "$name" = "ZEMRA Fleet — $register" ] && break
    sleep 0.1
done
[ "$name" = "ZEMRA Fleet — $register" ] || fail "main window caption is '$name'"
xdotool key --clearmodifiers Return
page=$(wait_window "ZEMRA Fleet — E2E-ONE") || fail "Enter did not open the aircraft's page"
xdotool windowactivate --sync "$page" 2>/dev/null
xdotool key --clearmodifiers Escape
wait_gone "ZEMRA Fleet — E2E-ONE" || fail "Escape did not close the aircraft's page"
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers ctrl+q
wait_exit || fail "Ctrl+Q did not end the program"
[ "$code" = 0 ] || fail "exit code $code after Ctrl+Q"
grep -qF "$register" "$XDG_CONFIG_HOME/zemra/zemra-fleet.ini" ||
    fail "the register is not among the recent ones"

# Run 2: a register that is not there is said in a box (titled as the window without a register,
# so counted apart from it), which Enter closes; the window stays.
windows() { xdotool search --onlyvisible --name "^ZEMRA Fleet$" 2>/dev/null | wc -l; }
"$fleet" --register "$work/none.sqlite" &
app_pid=$!
for _ in $(seq 150); do [ "$(windows)" = 2 ] && break; sleep 0.1; done
[ "$(windows)" = 2 ] || fail "no box beside the window for a register that is not there"
sleep 0.3
xdotool key --clearmodifiers Return
for _ in $(seq 100); do [ "$(windows)" = 1 ] && break; sleep 0.1; done
[ "$(windows)" = 1 ] || fail "Enter did not close the box"
kill -0 "$app_pid" 2>/dev/null || fail "the program ended after the box"
main=$(wait_window "^ZEMRA Fleet$") || fail "the main window is gone"
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers ctrl+q
wait_exit || fail "Ctrl+Q did not end the program after the box"
[ "$code" = 0 ] || fail "exit code $code after Ctrl+Q"
echo "PASS"
