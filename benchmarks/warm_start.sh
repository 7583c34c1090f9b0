#!/usr/bin/env bash
# A warm start of the run command against a cold `wine notepad`, side by
# side: each to its window on the display, Wine's server down before each.
#
#   benchmarks/warm_start.sh [ROUNDS]
#
# The two alternate, ROUNDS times (5 unless given), on a private display,
# with a device and a Notepad prefix of their own (made ready first, under
# build/bench-start); it prints each time, the medians and their ratio (of
# the rounds that showed their window). A window is looked for every 5 ms
# by window_shown.py. The device's programs must be built (tools/run.sh
# builds them).
set -euo pipefail
source "$(dirname "$0")/../tools/lib/common.sh"
rounds=${1:-5}
work="$TOLVANE_BUILD/bench-start"
device="$work/device"
notepad="$work/notepad"
mkdir -p "$work"
start_private_display
trap 'stop_display' EXIT

now() { date +%s.%N; }

# Seconds from $1 (a Unix time) until a window whose name matches $2 shows;
# empty, the failure said, when none does within 15 s.
seconds_to_window() { python3 "$(dirname "$0")/window_shown.py" "$1" "$2" || true; }

# Ends a prefix's Wine and waits for it, so that the next start is cold.
stop_prefix() { WINEPREFIX=$1 wineserver -k 2>/dev/null || true; WINEPREFIX=$1 wineserver -w 2>/dev/null || true; }

cold_notepad() {
    stop_prefix "$notepad"
    local start program
    start=$(now)
    WINEPREFIX=$notepad WINEDEBUG=-all wine notepad >/dev/null 2>&1 &
    program=$!
    seconds_to_window "$start" "Notepad"
    stop_prefix "$notepad"
    wait "$program" || true
}

warm_device() {
    local start runner
    start=$(now)
    "$TOLVANE_ROOT/tools/run.sh" --prefix "$device" >/dev/null 2>&1 &
    runner=$!
    seconds_to_window "$start" "^Today$"
    stop_prefix "$device"
    wait "$runner" || true
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Both ready: the device made and installed, Notepad's prefix booted.
warm_device >/dev/null
cold_notepad >/dev/null
notepad_times=()
device_times=()
for round in $(seq 1 "$rounds"); do
    notepad_times+=("$(cold_notepad)")
    device_times+=("$(warm_device)")
    echo "round $round: wine notepad ${notepad_times[-1]} s, run command ${device_times[-1]} s"
done
# A round that showed no window has no time.
notepad_median=$(printf '%s\n' "${notepad_times[@]}" | grep . | median)
device_median=$(printf '%s\n' "${device_times[@]}" | grep . | median)
echo "medians: wine notepad $notepad_median s, run command $device_median s," \
    "ratio $(awk -v a="$device_median" -v b="$notepad_median" 'BEGIN { printf "%.2f", a / b }')"
