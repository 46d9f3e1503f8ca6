# Sourced by the end-to-end scripts: a work folder, Xvfb on a free display with a window manager,
# and the waits on windows and on the program that they all share. Everything it starts, and the
# programs whose pids the script keeps in the variables named in session_pid_vars, end at exit.
#
#   source xvfb_session.sh
#   session_require Xvfb xdotool openbox   # exits 77 when one is missing
#   session_start 141 190 1280x800x24      # display range, screen; sets DISPLAY and $work

unset QT_QPA_PLATFORM
session_pid_vars=(app_pid)

fail() {
    echo "FAIL: $*"
    exit 1
}

# Skips the test, with a message, when a tool it needs is not installed.
session_require() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed (scripts/install-deps brings it)"
            exit 77
        fi
    done
}

session_end() {
    local var
    # The programs first, then the window manager, the X server last.
    for var in "${session_pid_vars[@]}" wm_pid xvfb_pid; do
        [ -n "${!var:-}" ] && kill "${!var}" 2>/dev/null
    done
    [ -n "${work:-}" ] && rm -rf "$work"
}

# Starts Xvfb on the first display of first..last without a lock file, then openbox. Each
# script has its own range, so that two of them run at once do not race for one display.
session_start() {
    local first=$1 last=$2 screen=$3 n
    work=$(mktemp -d)
    trap session_end EXIT
    display=
    for n in $(seq "$first" "$last"); do
        [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
    done
    [ -n "$display" ] || fail "no free display in :$first..:$last"
    Xvfb "$display" -screen 0 "$screen" -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=$display
    for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
    xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    sleep 0.5
}

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

# Waits for the program of app_pid to end and sets `code` to its exit code.
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
