#!/usr/bin/env bash
# Opens the emulated Pocket PC's Today screen with Tolvane in it.
#
#   tools/run.sh [--prefix DIR] [--window] [--clock YYYY-MM-DDTHH:MM:SS] [--script FILE]
#   tools/run.sh [--prefix DIR] [--clock YYYY-MM-DDTHH:MM:SS] --gremlins SEED [EVENTS] [--unlink]
#   tools/run.sh [--prefix DIR] install | uninstall | reinstall
#
# The device is its own Wine prefix (default: ~/.local/share/tolvane/device),
# never your default one. Its first run installs Tolvane from its cabinet
# (Tolvane.cab) as a device installer would. With --script the run is carried out without you, on a private X
# display of its own, and its screenshots are written; so is --gremlins, a
# seeded stream of random taps and keys that stops at the first broken rule
# of the device (see README.md), played on a copy of the device that the run
# removes. The run ends when the Today screen is
# closed (Start > Close, closing the device's window, or Ctrl-C), with
# nothing of the device left running; its status is 0 for a good run and
# non-zero, with the reason, for a failed one.
#
# The device's screen is a 240x320 Wine virtual desktop. With --window Wine
# runs without one, as Windows does, and the device is a window of its own
# whose client area is the screen.
#
# It builds only the device's programs (today.exe, Tolvane.dll, coredll.dll,
# aygshell.dll, install.exe) and Tolvane.cab, showing what it compiles; the first build and
# the device's creation take a few minutes, later starts a few seconds. A
# device runs one command at a time: on a device that is running, a second
# command (a run, install, uninstall or reinstall) says so and leaves it be.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

# The comment above, for --help; its command lines after a wrong argument.
usage() { awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"; }
usage_error() {
    echo "error: $*" >&2
    echo "usage:" >&2
    grep '^#   tools/run.sh' "$0" | sed 's/^#//' >&2
    exit 1
}

# Whether a --clock value is a date and time that exist, written as
# 2026-12-13T14:25:36 (from the year 1601, as the device's clock takes it):
# said before Wine starts, which takes seconds.
clock_exists() {
    [[ "$1" =~ ^([0-9]{4})-([0-9]{2})-([0-9]{2})T([0-9]{2}):([0-9]{2}):([0-9]{2})$ ]] || return 1
    local year=$((10#${BASH_REMATCH[1]})) month=$((10#${BASH_REMATCH[2]})) day=$((10#${BASH_REMATCH[3]}))
    local days=(0 31 28 31 30 31 30 31 31 30 31 30 31)
    ((year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))) && days[2]=29
    ((year >= 1601 && month >= 1 && month <= 12 && day >= 1 && day <= days[month])) &&
        ((10#${BASH_REMATCH[4]} <= 23 && 10#${BASH_REMATCH[5]} <= 59 && 10#${BASH_REMATCH[6]} <= 59))
}

# Whether $1 is a whole number from $2 to $3, in decimal digits alone.
whole_number() { [[ $1 =~ ^[0-9]{1,10}$ ]] && ((10#$1 >= $2 && 10#$1 <= $3)); }

arguments=("$@")
prefix="${XDG_DATA_HOME:-$HOME/.local/share}/tolvane/device"
host_args=()
command=run
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix | --clock | --script | --gremlins)
            [ $# -ge 2 ] && [ -n "$2" ] && [ "${2#--}" = "$2" ] || usage_error "$1 needs a value" ;;
    esac
    case "$1" in
        --prefix) prefix=$2; shift 2 ;;
        --clock)
            clock_exists "$2" || usage_error "--clock $2 is not a date and time that exist, written as 2026-12-13T14:25:36"
            host_args+=(--clock "$2"); shift 2 ;;
        --window) window=1; shift ;;
        --script) [ -f "$2" ] || die "no script file $2"; host_args+=(--script "$2"); scripted=1; shift 2 ;;
        --gremlins)
            whole_number "$2" 0 4294967295 || usage_error "--gremlins takes a seed from 0 to 4294967295, not \"$2\""
            host_args+=(--gremlins "$2"); scripted=1; gremlins=1; shift 2
            if [ $# -gt 0 ] && [ "${1#--}" = "$1" ] && [[ ! "$1" =~ ^(install|uninstall|reinstall)$ ]]; then
                whole_number "$1" 1 1000000 || usage_error "--gremlins runs from 1 to 1000000 events, not \"$1\""
                host_args+=("$1")
                shift
            fi ;;
        --unlink) host_args+=(--unlink); shift ;;
        install | uninstall | reinstall) command=$1; shift ;;
        -h | --help) usage; exit 0 ;;
        *) usage_error "unknown argument $1" ;;
    esac
done
if [ "$command" = run ] && [ -z "${DISPLAY:-}" ] && [ -z "${scripted:-}" ]; then
    cat >&2 <<MSG
There is no X display to show the Today screen on (DISPLAY is not set).
Run it from a desktop session, or make a scripted run with screenshots:

    printf 'screenshot today.png\\ntap 138 56\\nscreenshot after-draw.png\\n' > demo.txt
    tools/run.sh --clock 2026-12-13T14:25:36 --script demo.txt
MSG
    exit 1
fi
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)

# One command at a time on a device: ending a command ends its prefix's Wine
# server, and with it a device that another command runs. The rest of this
# script runs again under flock, which holds the lock itself (-o) so that
# nothing the script starts (Wine's server, Xvfb) holds it after the script,
# however slowly those end.
if [ "${TOLVANE_DEVICE_LOCKED:-}" != "$prefix" ]; then
    status=0
    TOLVANE_DEVICE_LOCKED=$prefix flock -n -o -E 75 "$prefix/.tolvane-device.lock" "$0" "${arguments[@]}" || status=$?
    [ "$status" -ne 75 ] ||
        die "the device in $prefix is running, so nothing was done: close it (Start > Close) first," \
            "or name another device with --prefix DIR"
    exit "$status"
fi

ensure_packages "${PE_PACKAGES[@]}"
# Ends the run's Wine and display, and removes the gremlins' copy of the
# device, keeping the run's status.
end_run() {
    local status=$?
    stop_wine
    [ -z "${gremlins_copy:-}" ] || rm -rf "$gremlins_copy"
    end_session "$status"
}
trap end_run EXIT
if [ -n "${scripted:-}" ]; then
    start_private_display  # nothing on your screen can cover the device's
else
    ensure_display
fi
bin="$TOLVANE_BUILD/pe/bin"
built="$TOLVANE_BUILD/pe/device-built"  # stamped as a build of them starts, kept when it succeeds
# Whether the device's programs are built from the sources as they are.
# Make would answer it too, but only after some thirty runs of CMake:
# seconds of every start on a busy two-core machine.
device_built() {
    local program
    for program in today.exe Tolvane.dll Tolvane.cab coredll.dll aygshell.dll install.exe; do
        [ -f "$bin/$program" ] || return 1
    done
    # Every folder but those no device program is built from, so that a new
    # room counts from its first file.
    [ -f "$built" ] && [ -z "$(cd "$TOLVANE_ROOT" &&
        find . \( -path ./build -o -path ./.git -o -path ./tests -o -path ./benchmarks -o -path ./odds -o -path ./ce \
            -o -path ./docs -o -name '*.md' \) -prune -o -type f -newer "$built" -print -quit)" ]
}
# The build (of the device's programs only) and the device's boot at once:
# neither needs the other.
if ! device_built; then
    [ -f "$bin/today.exe" ] || echo "Building the device's programs, once: a few minutes"
    (
        mkdir -p "${built%/*}" && touch "$built.new" &&
            build_pe today emulated_cabinet | { grep --line-buffered -v 'Built target' || true; } &&
            mv "$built.new" "$built"
    ) &
    build=$!
fi
if [ -n "${gremlins:-}" ]; then
    # The gremlins play on a copy of the device, which the run removes:
    # whatever they change, and however the run ends, the device stays as
    # it was (its lock keeps any other command off it meanwhile).
    gremlins_copy=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-gremlins.XXXXXX") || die "cannot make a folder for the gremlins"
    cp -a "$prefix/." "$gremlins_copy" || die "cannot copy the device $prefix for the gremlins"
    prefix=$gremlins_copy
fi
[ -f "$prefix/system.reg" ] || echo "Creating the device in $prefix, once: under a minute"
# Its services hold the output of its first program until the run ends it.
wine_environment "$prefix" quick >/dev/null
[ -z "${build:-}" ] || wait "$build" || exit 1  # the build said why

installer() { wine "$bin/install.exe" "$@"; }
cabinet() { winepath -w "$bin/Tolvane.cab"; }
case "$command" in
    install) installer install "$(cabinet)"; exit ;;
    uninstall) installer uninstall; exit ;;
    reinstall) installer uninstall >/dev/null; installer install "$(cabinet)"; exit ;;
esac

# A device made before Tolvane came in a cabinet has no marker of this name,
# and its installer no record of what it installed: it is installed again.
if [ ! -f "$prefix/.tolvane-installed-from-cabinet" ]; then
    installer install "$(cabinet)"
    touch "$prefix/.tolvane-installed-from-cabinet"
elif ! cmp -s "$bin/Tolvane.dll" "$prefix/drive_c/windows/Tolvane.dll"; then  # the device's \Windows
    installer update "$(cabinet)"  # the device runs the DLL just built
fi
# Whether the device's registry holds the settings of device-desktop.reg.
desktop_set() {
    local user="$prefix/user.reg"
    grep -q '^"Desktop"="TolvaneDevice"' "$user" && grep -q '^"TolvaneDevice"="240x320"' "$user" &&
        grep -q '^"Default"="240x320"' "$user" && ! grep -q '^"Managed"=' "$user"
}
explorer='HKCU\Software\Wine\Explorer'
x11='HKCU\Software\Wine\X11 Driver'
if [ -n "${window:-}" ]; then
    # No virtual desktop: today.exe finds the host's screen and opens the
    # device window. Wine places the device's windows itself, exactly where
    # the device puts them, rather than leaving them to a window manager.
    wine reg delete "$explorer" /v Desktop /f >/dev/null 2>&1 || true
    wine reg add "$x11" /v Managed /d N /f >/dev/null 2>&1 || die "cannot set up the device window in $prefix"
elif ! desktop_set; then
    # The device's screen: a 240x320 Wine desktop, whatever the host display
    # and the Wine (the file says how each Wine sizes it). One regedit run
    # for all its settings, and none once they are set: each Wine program
    # costs a start.
    import_registry device-desktop.reg || die "cannot give the device its 240x320 screen in $prefix"
fi
# The prefix's boot brought up the desktop of the last run's kind; after a
# change of kind, Wine starts afresh so that today.exe gets the new one.
screen_kind=${window:+window}
if [ "$(cat "$prefix/.tolvane-screen" 2>/dev/null)" != "${screen_kind:-desktop}" ]; then
    stop_wine
    echo "${screen_kind:-desktop}" >"$prefix/.tolvane-screen"
fi
wine "$bin/today.exe" "${host_args[@]}" || die "the device run failed (status $?)"
