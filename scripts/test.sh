#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test layer:
#   native           the Windows-free rules, with GoogleTest
#   native-sanitize  the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   fuzz             a bounded run of each libFuzzer target, also under both sanitizers
#   windows          in-process tests and the real executable end to end, under Wine on Xvfb
#   page             the start page in headless Chromium
# Every layer runs even when an earlier one fails; the exit code says whether all passed.
set -uo pipefail
REPO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$REPO_ROOT"
"$REPO_ROOT/scripts/setup.sh" test || exit 1

JOBS=$(nproc)
passed=() failed=()

run_layer() {
    local name=$1
    shift
    echo "=== $name"
    if "$@"; then passed+=("$name"); else failed+=("$name"); fi
}

cmake_layer() {
    local preset=$1
    cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$JOBS" &&
        ctest --preset "$preset" -j "$JOBS"
}

windows_layer() {
    cmake --preset windows-cross >/dev/null && cmake --build --preset windows-cross -j "$JOBS" || return 1
    . "$REPO_ROOT/tests/support/wine_env.sh"
    prepare_wine_prefix
    start_xvfb 1920x1080 || return 1
    boot_wine_session "$REPO_ROOT/build/windows/tests/e2e/window_probe.exe"
    ctest --preset windows-cross
    local result=$?
    stop_wine
    stop_xvfb
    return $result
}

run_layer native cmake_layer native
run_layer native-sanitize cmake_layer native-sanitize
run_layer fuzz "$REPO_ROOT/fuzz/run.sh"
run_layer windows windows_layer
run_layer page "$REPO_ROOT/tests/page/run.sh"

echo
echo "passed layers: ${passed[*]:-none}"
echo "failed layers: ${failed[*]:-none}"
echo "layers: ${#passed[@]} passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
