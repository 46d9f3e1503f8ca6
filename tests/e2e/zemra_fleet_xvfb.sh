#!/usr/bin/env bash
# Runs the real zemra-fleet under Xvfb with a window manager, on a register that the real
# zemra-cli made, and drives it from outside with the keyboard as a user would.
# Usage: zemra_fleet_xvfb.sh /path/to/zemra-fleet /path/to/zemra-cli
set -uo pipefail

fleet=$(readlink -f "$1")
cli=$(readlink -f "$2")
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
unset ZEMRA_REGISTER
session_require Xvfb xdotool openbox
session_start 141 190 1280x800x24
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" LC_ALL=C.UTF-8

# Waits until no visible window's name matches.
wait_gone() {
    for _ in $(seq 100); do
        [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    return 1
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
