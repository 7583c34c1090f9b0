#!/usr/bin/env bash
# Opens the emulated Pocket PC's Today screen with Tolvane in it.
#
#   tools/run.sh [--prefix DIR] [--window] [--clock YYYY-MM-DDTHH:MM:SS] [--script FILE]
#   tools/run.sh [--prefix DIR] [--clock YYYY-MM-DDTHH:MM:SS] --gremlins SEED [EVENTS] [--unlink]
#   tools/run.sh [--prefix DIR] install | uninstall | reinstall
#
# The device is its own Wine prefix (default: ~/.local/share/tolvane/device),
# never your default one. Its first run installs Tolvane as a device installer
# would. With --script the run is carried out without you, on a private X
# display of its own, and its screenshots are written; so is --gremlins, a
# seeded stream of random taps and keys that stops at the first broken rule
# of the device (see README.md). The run ends when the Today screen is
# closed (Start > Close, closing the device's window, or Ctrl-C), with
# nothing of the device left running; its status is 0 for a good run and
# non-zero, with the reason, for a failed one.
#
# The device's screen is a 240x320 Wine virtual desktop. With --window Wine
# runs without one, as Windows does, and the device is a window of its own
# whose client area is the screen.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

prefix="${XDG_DATA_HOME:-$HOME/.local/share}/tolvane/device"
host_args=()
command=run
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix) prefix=$2; shift 2 ;;
        --clock) host_args+=(--clock "$2"); shift 2 ;;
        --window) window=1; shift ;;
        --script) [ -f "$2" ] || die "no script file $2"; host_args+=(--script "$2"); scripted=1; shift 2 ;;
        --gremlins)
            host_args+=(--gremlins "$2"); scripted=1; shift 2
            if [[ "${1:-}" =~ ^[0-9]+$ ]]; then host_args+=("$1"); shift; fi ;;
        --unlink) host_args+=(--unlink); shift ;;
        install | uninstall | reinstall) command=$1; shift ;;
        -h | --help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) die "unknown argument $1 (see tools/run.sh --help)" ;;
    esac
done
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)

ensure_packages "${PE_PACKAGES[@]}"
build_pe >/dev/null
bin="$TOLVANE_BUILD/pe/bin"

if [ "$command" = run ] && [ -z "${DISPLAY:-}" ] && [ -z "${scripted:-}" ]; then
    cat >&2 <<MSG
There is no X display to show the Today screen on (DISPLAY is not set).
Run it from a desktop session, or make a scripted run with screenshots:

    printf 'wait 500\\nscreenshot today.png\\ntap 138 56\\nscreenshot after-deal.png\\n' > demo.txt
    tools/run.sh --clock 2026-12-13T14:25:36 --script demo.txt
MSG
    exit 1
fi
trap end_session EXIT
if [ -n "${scripted:-}" ]; then
    start_private_display  # nothing on your screen can cover the device's
else
    ensure_display
fi
wine_environment "$prefix"

installer() { wine "$bin/install.exe" "$@"; }
dll=$(winepath -w "$bin/Tolvane.dll")
case "$command" in
    install) installer install "$dll"; exit ;;
    uninstall) installer uninstall; exit ;;
    reinstall) installer uninstall >/dev/null; installer install "$dll"; exit ;;
esac

if [ ! -f "$prefix/.tolvane-installed" ]; then
    installer install "$dll"
    touch "$prefix/.tolvane-installed"
else
    installer update "$dll"  # the device runs the DLL just built
fi
explorer='HKCU\Software\Wine\Explorer'
x11='HKCU\Software\Wine\X11 Driver'
if [ -n "${window:-}" ]; then
    # No virtual desktop: today.exe finds the host's screen and opens the
    # device window. Wine places the device's windows itself, exactly where
    # the device puts them, rather than leaving them to a window manager.
    wine reg delete "$explorer" /v Desktop /f >/dev/null 2>&1 || true
    wine reg add "$x11" /v Managed /d N /f >/dev/null 2>&1 || die "cannot set up the device window in $prefix"
else
    # The device's screen: a 240x320 Wine desktop, whatever the host display.
    # It is the prefix's default desktop, so that wine answers with the
    # Today screen's own exit status; a desktop of its own name, as the one
    # that wineboot made may already be up without it.
    wine reg delete "$x11" /v Managed /f >/dev/null 2>&1 || true
    wine reg add "$explorer\Desktops" /v TolvaneDevice /d 240x320 /f >/dev/null 2>&1 &&
        wine reg add "$explorer" /v Desktop /d TolvaneDevice /f >/dev/null 2>&1 ||
        die "cannot give the device its 240x320 screen in $prefix"
fi
wine "$bin/today.exe" "${host_args[@]}" || die "the device run failed (status $?)"
