#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time (default 20 s), starting from a
# fresh copy of the committed seed corpus so nothing new is written into the repository.
# Exits non-zero when any target finds an input that breaks one of its properties; the input is
# kept in the artifacts folder printed at the end.
#   fuzz/run.sh [seconds-per-target]
set -uo pipefail
REPO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SECONDS_PER_TARGET=${1:-20}
BUILD_DIR="$REPO_ROOT/build/fuzz"
TARGETS=(to_wide path_text path_rules launch_config page_url game_link)

cd "$REPO_ROOT"
cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$(nproc)" >/dev/null ||
    { echo "fuzz build failed" >&2; exit 1; }

WORK_DIR=$(mktemp -d)
ARTIFACTS="$BUILD_DIR/artifacts"
mkdir -p "$ARTIFACTS"
failed=()

# Prints the target's execution count; returns the fuzzer's exit status.
run_target() {
    local name=$1 corpus="$WORK_DIR/$1" log="$WORK_DIR/$1.log"
    cp -r "$REPO_ROOT/fuzz/corpus/$name" "$corpus"
    "$BUILD_DIR/fuzz/${name}_fuzz" -max_total_time="$SECONDS_PER_TARGET" -print_final_stats=1 \
        -artifact_prefix="$ARTIFACTS/$name-" "$corpus" >"$log" 2>&1
    local result=$?
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    printf '%-14s %s executions in %s s\n' "$name" "${runs:-?}" "$SECONDS_PER_TARGET"
    [ $result -eq 0 ] || grep -E 'property violated|ERROR|runtime error' "$log" | head -5 >&2
    return $result
}

for name in "${TARGETS[@]}"; do
    run_target "$name" || failed+=("$name")
done
rm -rf "$WORK_DIR"

if [ ${#failed[@]} -gt 0 ]; then
    echo "failing targets: ${failed[*]} (inputs in $ARTIFACTS)"
    exit 1
fi
echo "all ${#TARGETS[@]} targets ran clean"
