#!/usr/bin/env bash
# Builds everything and runs every test: the PE programs on Wine, the card
# engine natively under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the device's ARM Tolvane.dll in an ARM emulator.
#
#   tools/test.sh [--stress]
#   tools/test.sh --debian N
#
# --stress runs the tests beside twice as many busy processes as the machine
# has cores, as on a loaded machine: the suite must pass so too. --debian N
# runs them inside a root of Debian release N, made once under build/.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

# --debian N: the same run inside a root of Debian release N, made once.
if [ "${1:-}" = --debian ]; then
    shift
    exec "$TOLVANE_ROOT/tools/lib/debian_root.sh" "$@"
fi
stress=""
for argument in "$@"; do
    case "$argument" in
        --stress) stress=1 ;;
        -h | --help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) die "unknown argument $argument (see tools/test.sh --help)" ;;
    esac
done

ensure_packages "${PE_PACKAGES[@]}" "${NATIVE_PACKAGES[@]}" "${CE_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

# The test prefixes (the device's, the gremlins') get ready beside the
# build: a new prefix takes a while to make, and its first programs longer.
preparing=()
for prefix in wineprefix wineprefix-gremlins; do
    "$TOLVANE_ROOT/tests/tools/own_device.sh" "$TOLVANE_BUILD/pe/$prefix" &
    preparing+=($!)
done
build_pe
cmake -S "$TOLVANE_ROOT" -B "$TOLVANE_BUILD/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVANE_SANITIZE=ON >/dev/null ||
    die "configuring the native build failed"
cmake --build "$TOLVANE_BUILD/native" -j "$(nproc)" || die "the native build failed"
build_ce
for job in "${preparing[@]}"; do
    wait "$job" || die "a test prefix could not be made ready"
done

busy=()
# Ends the busy processes of --stress with the session, keeping its status.
end_test_session() {
    local status=$?
    [ ${#busy[@]} -eq 0 ] || kill "${busy[@]}" 2>/dev/null || true
    end_session "$status"
}
trap end_test_session EXIT
if [ -n "$stress" ]; then
    for _ in $(seq $((2 * $(nproc)))); do
        (while :; do :; done) &
        busy+=($!)
    done
    echo "== Under stress: ${#busy[@]} busy processes beside the tests"
fi
ensure_display
wine_environment "$TOLVANE_BUILD/pe/wineprefix"

passed=0
failed=0
# Runs one ctest tree, so many programs at once, and adds its programs to
# the totals.
run_ctest() {
    local log="$TOLVANE_BUILD/$1.log" total bad
    # A limit for any test that names none: one that hangs fails instead.
    ctest --test-dir "$TOLVANE_BUILD/$1" --output-on-failure -j "$2" --timeout 300 -LE exhaustive | tee "$log" || true
    total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
    bad=$(sed -n 's/.*, \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -n 1)
    if [ -z "$total" ]; then
        echo "error: ctest in $1 reported no result" >&2
        failed=$((failed + 1))
        return
    fi
    passed=$((passed + total - bad))
    failed=$((failed + bad))
}

echo "== PE programs on Wine"
# One more than the cores: the PE programs mostly wait, for Wine and for a
# quiet device, and three long ones can run at once.
run_ctest pe $(($(nproc) + 1))
echo "== Card engine, native, with sanitizers"
run_ctest native "$(nproc)"
echo "== The device's Tolvane.dll in an ARM emulator"
run_ctest ce "$(nproc)"
echo "programs: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
