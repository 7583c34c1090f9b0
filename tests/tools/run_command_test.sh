#!/usr/bin/env bash
# The run command as a user meets it: a scripted run's status, and a first
# interactive run on a new device that Start > Close ends. It has a display
# and a device of its own, so it can run beside the other tests.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
failures=0
source "$root/tools/lib/common.sh"
start_private_display
trap 'stop_display; WINEPREFIX="$work/device" wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

# Tries a command every tenth of a second until it succeeds, for at most
# $1 seconds; fails when it never did.
wait_until() {
    local limit=$(($1 * 10))
    shift
    for _ in $(seq 1 "$limit"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
# The windows of today.exe shown, and whether there are more than before a
# tap on Start: its menu.
today_windows() { xdotool search --onlyvisible --class '^today\.exe$' 2>/dev/null | wc -l; }
menu_shown() { [ "$(today_windows)" -gt "$windows_before" ]; }
ended() { ! kill -0 "$1" 2>/dev/null; }

# Waits up to a minute for the Today screen shown and a window of this name;
# says the window's id when they came.
wait_for_window() {
    wait_until 60 shown "^Today$" && xdotool search --name "$1" 2>/dev/null | head -n 1
}

# Processes of the device: they carry its prefix in their environment.
device_processes() {
    grep -l "WINEPREFIX=$work/device" /proc/[0-9]*/environ 2>/dev/null | wc -l
}
no_device_processes() { [ "$(device_processes)" -eq 0 ]; }
# What a run left running: processes with its device's lock in their
# environment (its private display among them).
no_run_left() { ! grep -qs "TOLVANE_DEVICE_LOCKED=$work/device" /proc/[0-9]*/environ; }

cd "$work"
# Each run ends within two minutes, or is ended with all it started (status
# 124): a tap that misses fails the test instead of holding it up.
run=(timeout 120 "$root/tools/run.sh" --prefix "$work/device" --clock 2026-12-13T14:25:36)

# An interactive first run, on the new device, ended with Start > Close.
"${run[@]}" >interactive.log 2>&1 &
runner=$!
device=$(wait_for_window "Wine desktop")
size=$(xdotool getwindowgeometry "$device" 2>/dev/null | sed -n 's/ *Geometry: //p')
[ "$size" = 240x320 ] || fail "the device's screen did not come up at 240x320: ${size:-no window}"
# A second command leaves the running device be (the close below needs it) and says so.
"$root/tools/run.sh" --prefix "$work/device" install >second.log 2>&1 && fail "an install on a running device exited 0"
grep -q "is running, so nothing was done" second.log || fail "an install on a running device said: $(cat second.log)"
windows_before=$(today_windows)
xdotool mousemove --window "$device" 15 12 click 1  # Start
wait_until 10 menu_shown || fail "Start showed no menu"
xdotool mousemove --window "$device" 30 72 click 1  # Close
if wait_until 5 ended "$runner"; then
    wait "$runner" || fail "an interactive run that was closed exited with $?"
else
    fail "the run did not end within 5 s of Start > Close: $(cat interactive.log)"
    kill "$runner" 2>/dev/null
    WINEPREFIX="$work/device" wineserver -k 2>/dev/null
fi
wait_until 5 no_device_processes || fail "the device left processes running"

# A scripted run with DISPLAY set: its status, and its screen on its own display.
printf 'wait 300\nscreenshot shot.png\nquit\n' >good.txt
"${run[@]}" --script good.txt >good.log 2>&1 || fail "a good scripted run exited with $?: $(cat good.log)"
[ -s shot.png ] || fail "the good run wrote no screenshot"
# The device window, right after a run on the virtual desktop: dragged by its
# caption, it still shows its screen in front, and a tap reaches the row.
"${run[@]}" --window >window-interactive.log 2>&1 &
runner=$!
frame=$(wait_for_window "^Tolvane device$")
# The device's screen as the display shows it: its brightness, or its pixels.
screen_shown() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$(xdotool search --name "^Today$" | head -n 1)")"
    import -window root -crop "240x320+$X+$Y" +repage "$1" && identify -format '%[fx:mean]' "$1"
}
if [ -z "$frame" ]; then
    fail "the --window run opened no device window: $(cat window-interactive.log)"
else
    today=$(xdotool search --name "^Today$" | head -n 1)
    before=$(xdotool getwindowgeometry "$today")
    eval "$(xdotool getwindowgeometry --shell "$frame")"
    xdotool mousemove $((X + 60)) $((Y + 8)) mousedown 1 mousemove $((X + 100)) $((Y + 40)) mouseup 1
    # The screen follows the window, then shows in front of it.
    moved() { [ "$(xdotool getwindowgeometry "$today")" != "$before" ]; }
    bright() { awk "BEGIN { exit !($(screen_shown dragged.png) > 0.5) }"; }
    wait_until 10 moved || fail "the Today screen did not follow the dragged device window"
    wait_until 10 bright || fail "after a drag the device window covered its screen"
    eval "$(xdotool getwindowgeometry --shell "$today")"
    xdotool mousemove $((X + 55)) $((Y + 56)) click 1  # the second card
    changed() { screen_shown tapped.png >/dev/null && ! cmp -s dragged.png tapped.png; }
    wait_until 10 changed || fail "after a drag a tap did not reach the row"
    windows_before=$(today_windows)
    xdotool mousemove $((X + 15)) $((Y + 12)) click 1  # Start
    wait_until 10 menu_shown || fail "Start showed no menu in the device window"
    xdotool mousemove $((X + 30)) $((Y + 72)) click 1  # Close
fi
wait_until 10 ended "$runner" || fail "the --window run did not end with Start > Close"
kill "$runner" 2>/dev/null
wait "$runner"

# The same run in a device window, on Wine without a virtual desktop.
sed 's/shot.png/window.png/' good.txt >good-window.txt
"${run[@]}" --window --script good-window.txt >window.log 2>&1 || fail "a run in the device window exited with $?"
cmp -s shot.png window.png || fail "the device window's screen differs from the virtual desktop's"
printf 'wait 300\ntap 10\n' >bad.txt
if "${run[@]}" --script bad.txt >bad.log 2>&1; then
    fail "a bad script exited 0"
fi
grep -q "bad.txt:2: tap takes two screen coordinates" bad.log || fail "a bad script did not say why: $(cat bad.log)"
wait_until 5 no_run_left || fail "a failed run left processes running (its display)"
"${run[@]}" --clock >clock.log 2>&1 && fail "an option without its value exited 0"
grep -q "error: --clock needs a value" clock.log || fail "an option without its value said: $(cat clock.log)"
# A clock that does not exist is refused before Wine starts, with the run command's usage.
for clock in 2026-02-29T10:00:00 2026-12-13; do
    "${run[@]/2026-12-13T14:25:36/$clock}" --script good.txt >clock.log 2>&1 && fail "--clock $clock exited 0"
    grep -q "error: --clock $clock is not a date and time that exist" clock.log && grep -q "tools/run.sh \[--prefix" clock.log &&
        ! grep -q "^today:" clock.log || fail "--clock $clock said: $(cat clock.log)"
done
# A seed or a count that is not one is refused at once, saying which.
for bad in "abc 10:abc" "3 0:0"; do
    # shellcheck disable=SC2086 # the seed and the count as two words
    "${run[@]}" --gremlins ${bad%:*} >bad-gremlins.log 2>&1 && fail "--gremlins ${bad%:*} exited 0"
    grep -q "error: --gremlins .*, not \"${bad#*:}\"" bad-gremlins.log ||
        fail "--gremlins ${bad%:*} said: $(cat bad-gremlins.log)"
done

# A gremlins run, let answer "Yes" to unlinking, leaves the device's registry
# and files as they were, however the run went.
device_state() { (cd "$work/device" && find . -type f ! -name .tolvane-device.lock -exec md5sum {} + | sort); }
device_state >device-before.txt
"${run[@]}" --gremlins 5 10 --unlink >gremlins.log 2>&1 || fail "a gremlins run exited with $?: $(cat gremlins.log)"
device_state >device-after.txt
cmp -s device-before.txt device-after.txt ||
    fail "a gremlins run changed the device: $(diff device-before.txt device-after.txt | head -n 4)"

echo "run command: $failures failed"
[ "$failures" -eq 0 ]
