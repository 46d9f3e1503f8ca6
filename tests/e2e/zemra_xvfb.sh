#!/usr/bin/env bash
# Runs the real zemra binary under Xvfb with a window manager and drives it from outside as a
# user would, with the keyboard and the mouse.
# Usage: zemra_xvfb.sh /path/to/zemra
set -uo pipefail

zemra=$(readlink -f "$1")
# A real X server this time, whatever the rest of the suite uses: the helper unsets
# QT_QPA_PLATFORM.
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
session_pid_vars+=(second_pid)
session_require Xvfb xdotool openbox wmctrl xwininfo xprop
session_start 91 140 1024x768x24

# Clicks at a point of a window's client area (xwininfo gives the client's absolute corner).
click_in() {
    local window=$1 x=$2 y=$3 info left top
    info=$(xwininfo -id "$window")
    left=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
    top=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
    xdotool mousemove $((left + x)) $((top + y)) click 1
}

start_zemra() {
    (cd "$1" && exec "$zemra") &
    app_pid=$!
    main=$(wait_window "ZEMRA  DEMO1") || fail "the main window did not appear"
    xdotool windowactivate --sync "$main" 2>/dev/null
}

expected="$work/expected.bin"
printf '%s\r\n' 0001 0002 000a 0050 0280 09b0 09e5 04dc 02f3 01c9 0141 00ea 009a 0060 001b \
    0003 0002 0001 0258 0015 0315 0029 >"$expected"

# Run 1: a data copy, then Close ends the program and deletes both working files.
run1="$work/run1"
mkdir -p "$run1"
start_zemra "$run1"
name=$(xdotool getwindowname "$main")
[ "$name" = "    ZEMRA  DEMO1" ] || fail "main window caption is '$name'"

xdotool key --clearmodifiers alt+d
copy=$(wait_window "DATA COPY") || fail "Alt+D did not open the data copy window"
xdotool windowactivate --sync "$copy" 2>/dev/null
click_in "$copy" 200 84 # the file name field
xdotool type --delay 20 "e2e.dat"
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key --clearmodifiers alt+d
sleep 0.5
[ -f "$run1/e2e.dat" ] || fail "the data file was not created"
cmp -s "$run1/e2e.dat" "$expected" || fail "the data file is not the 132-byte record: $(od -c "$run1/e2e.dat" | head -3)"
[ -f "$run1/dane.txt" ] || fail "dane.txt was not written"
xdotool key --clearmodifiers alt+c
sleep 0.3
xdotool windowactivate --sync "$main" 2>/dev/null
echo "0001" >"$run1/bufor.txt"
xdotool key --clearmodifiers alt+c
wait_exit || fail "Alt+C did not end the program"
[ "$code" = 0 ] || fail "exit code $code after Close"
[ ! -e "$run1/dane.txt" ] || fail "Close left dane.txt"
[ ! -e "$run1/bufor.txt" ] || fail "Close left bufor.txt"
[ -f "$run1/e2e.dat" ] || fail "Close removed the data file"

# Run 2: closing the main window through its frame ends the program and keeps both files.
run2="$work/run2"
mkdir -p "$run2"
cp "$expected" "$run2/bufor.txt"
cp "$expected" "$run2/dane.txt"
start_zemra "$run2"
wmctrl -i -c "$main" || fail "the window manager could not close the main window"
wait_exit || fail "closing the frame did not end the program"
[ "$code" = 0 ] || fail "exit code $code after closing the frame"
[ -f "$run2/bufor.txt" ] && [ -f "$run2/dane.txt" ] || fail "closing the frame deleted a working file"

# Run 3: every window opens centred on its outer size, the frame that the window manager
# draws included: its frame's corner at ((screen - outer) / 2), within a pixel.
read -r screen_width screen_height <<<"$(xdotool getdisplaygeometry)"

# Prints how far the frame's top-left corner lies from the centred place, "dx dy".
centre_offset() {
    local info extents left right top bottom x y width height
    info=$(xwininfo -id "$1") || return 1
    x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
    width=$(awk '/^ *Width:/ {print $2}' <<<"$info")
    height=$(awk '/^ *Height:/ {print $2}' <<<"$info")
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS) || return 1
    [[ $extents == *=* ]] || return 1
    read -r left right top bottom <<<"$(sed 's/.*= //; s/,/ /g' <<<"$extents")"
    echo "$((x - left - (screen_width - width - left - right) / 2))" \
        "$((y - top - (screen_height - height - top - bottom) / 2))"
}

# Waits for the window and checks that it is centred (the window manager may still be adding
# its frame when it appears); leaves it active, its id in centred_id.
check_centred() {
    local pattern=$1 id offset dx=999 dy=999 # not measured yet
    id=$(wait_window "$pattern") || fail "window '$pattern' did not appear"
    for _ in $(seq 30); do
        offset=$(centre_offset "$id") && read -r dx dy <<<"$offset" \
            && ((dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1)) && break
        offset=${offset:-unknown}
        sleep 0.1
    done
    ((dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1)) \
        || fail "window '$pattern' is not centred: its frame is off by $offset"
    xdotool windowactivate --sync "$id" 2>/dev/null
    centred_id=$id
}

# Closes a window with its "&Close" and waits until it is gone.
close_window() {
    xdotool windowactivate --sync "$1" 2>/dev/null
    xdotool key --clearmodifiers alt+c
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "$2" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window '$2' did not close"
}

# Opens a window with a key in the active one, checks it and closes it again.
open_check_close() {
    local key=$1 pattern=$2
    xdotool key --clearmodifiers "$key"
    check_centred "$pattern"
    close_window "$centred_id" "$pattern"
}

run3="$work/run3"
mkdir -p "$run3"
cp "$expected" "$run3/bufor.txt" # the chart then paints without a message
start_zemra "$run3"
check_centred "ZEMRA  DEMO1"
open_check_close alt+d "DATA COPY"
open_check_close alt+t "^   TIMERS$"
open_check_close alt+r "RECORDER RESET"
open_check_close alt+o "CONTACT"
xdotool key --clearmodifiers alt+s
check_centred "^    SPECTRUM$"
spectrum=$centred_id
open_check_close alt+g "GRAPHIC  SPECTRUM"
close_window "$spectrum" "^    SPECTRUM$"
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers alt+a
check_centred "^About$"
about=$centred_id
xdotool key --clearmodifiers alt+t
check_centred "TECHNICAL INFORMATION"
technical=$centred_id
for page in "alt+a:^   Application$" "alt+s:Signal Classification" "alt+g:ZEMRA General View" \
    "alt+d:ZEMRA Dimension" "alt+t:ZEMRA Basic Technical Data"; do
    xdotool windowactivate --sync "$technical" 2>/dev/null
    open_check_close "${page%%:*}" "${page#*:}"
done
close_window "$technical" "TECHNICAL INFORMATION"
close_window "$about" "^About$"
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers alt+c
wait_exit || fail "Alt+C did not end the program after the windows were visited"

# Run 4: a second copy started in the same folder shows a box, ends with exit code 1 once the
# box is closed, and leaves the first copy running.
run4="$work/run4"
mkdir -p "$run4"
start_zemra "$run4"
(cd "$run4" && exec "$zemra") &
second_pid=$!
box=$(wait_window "^Zemra$") || fail "the second copy in one folder showed no box"
xdotool windowactivate --sync "$box" 2>/dev/null
xdotool key --clearmodifiers Return
for _ in $(seq 100); do
    kill -0 "$second_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$second_pid" 2>/dev/null && fail "the refused copy did not end"
wait "$second_pid"
second_code=$?
second_pid=
[ "$second_code" = 1 ] || fail "exit code $second_code of the refused copy"
kill -0 "$app_pid" 2>/dev/null || fail "the first copy ended with the second"
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers alt+c
wait_exit || fail "Alt+C did not end the first copy"
[ "$code" = 0 ] || fail "exit code $code of the first copy"

echo "1 passed, 0 failed"
