#!/usr/bin/env bash
# Peak resident memory of the program and of the bare dialog, each started under Xvfb by
# /usr/bin/time -v and ended from outside with Alt+C once its window is visible.
# Usage: bench/memory.sh PROGRAM BARE_DIALOG [RUNS]
# Prints one "bare KB" and one "program KB" line per run (maximum resident set size in kB).
set -euo pipefail

if [ -z "${ZEMRA_MEMORY_INNER:-}" ]; then
    for tool in xvfb-run xdotool /usr/bin/time; do
        command -v "$tool" >/dev/null || { echo "memory.sh: $tool is missing" >&2; exit 2; }
    done
    export ZEMRA_MEMORY_INNER=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi

program=$1
bare=$2
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program removes its working files from the current folder when it ends.
cd "$work"
export QT_QPA_PLATFORM=xcb

measure() { # name window-title command...
    local name=$1 title=$2
    shift 2
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>&1 &
    local pid=$! window
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n 1)
    if [ -z "$window" ]; then
        kill "$pid" 2>/dev/null || true
        echo "memory.sh: no \"$title\" window" >&2
        exit 1
    fi
    xdotool windowfocus --sync "$window" key alt+c
    if ! timeout 30 tail --pid="$pid" -f /dev/null; then
        kill "$pid" 2>/dev/null || true
        echo "memory.sh: \"$title\" did not end on Alt+C" >&2
        exit 1
    fi
    wait "$pid" || true
    echo "$name $(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")"
}

for ((i = 0; i < runs; i++)); do
    measure bare "^Bare dialog$" "$bare" --stay
    measure program "ZEMRA  DEMO1" "$program"
done
