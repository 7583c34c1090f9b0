#!/usr/bin/env bash
# Runs a test program on Wine with a prefix and a display of its own, so
# that it can run beside the tests that share the test prefix's device:
#
#   own_device.sh PREFIX [PROGRAM [ARGUMENT...]]
#
# Without a program it only makes the prefix ready, as the test command
# does beside the build, so that no test's time includes a prefix's making.
set -uo pipefail
source "$(cd "$(dirname "$0")/../.." && pwd)/tools/lib/common.sh"
start_private_display
trap end_session EXIT
wine_environment "$1"
shift
# No window manager runs on a test display: with unmanaged windows Wine
# closes a window at once instead of waiting two seconds for a manager.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || die "cannot set up $WINEPREFIX"
[ $# -eq 0 ] || wine "$@"
