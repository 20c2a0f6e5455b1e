#!/usr/bin/env bash
# Start-up benchmark of the Windows build under Wine on Xvfb (not a test: nothing here passes or
# fails on speed). Builds what it needs, then times the launcher against a bare Win32 window
# (the floor) over repeated runs, and reports the executable's size and imported DLLs:
#   bench/bench.sh [runs]        (default 15 runs of each program)
# Prints a table and writes build/bench/results.json for comparing commits.
set -euo pipefail
REPO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
RUNS=${1:-15}
BUILD_DIR="$REPO_ROOT/build/windows"
OUT_DIR="$REPO_ROOT/build/bench"
LAUNCHER_CLASS=QuorvelLauncherWnd
BARE_CLASS=QuorvelBenchBareWnd

cd "$REPO_ROOT"
cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross -j "$(nproc)" \
    --target OstrivanLauncher fake_webview2_loader bare_window startup_timer window_probe >/dev/null

# A prefix of its own, so a benchmark never disturbs a test run's prefix.
export LAUNCHER_WINEPREFIX="$REPO_ROOT/build/bench-prefix"
. "$REPO_ROOT/tests/support/wine_env.sh"

STAGE=$(mktemp -d)
cleanup() {
    stop_wine
    stop_xvfb
    rm -rf "$STAGE"
}
trap cleanup EXIT

# Wine's Z: drive is the Linux root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

mkdir -p "$STAGE/launcher" "$STAGE/bare" "$OUT_DIR"
cp "$BUILD_DIR/src/OstrivanLauncher.exe" "$STAGE/launcher/"
cp "$BUILD_DIR/tests/fake_runtime/loader/WebView2Loader.dll" "$STAGE/launcher/"
cp "$BUILD_DIR/bench/bare_window.exe" "$STAGE/bare/"
TIMER="$BUILD_DIR/bench/startup_timer.exe"

# The display first: a Wine session started without one (even by "reg add") stays without one.
start_xvfb 1920x1080
prepare_wine_prefix
boot_wine_session "$BUILD_DIR/tests/e2e/window_probe.exe"

# time_program <exe> <class> <runs> [<runtime log>]: one timer process, inside Wine, per call.
time_program() {
    local exe=$1 class=$2 runs=$3
    shift 3
    timeout 600 "$WINE_BIN" "$TIMER" "$(windows_path "$exe")" "$class" "$runs" "$@" </dev/null
}

LAUNCHER_EXE="$STAGE/launcher/OstrivanLauncher.exe"
RUNTIME_LOG=$(windows_path "$STAGE/launcher/runtime.log")
# One unrecorded run each first, so neither program pays for loading Wine's DLLs from disk.
time_program "$STAGE/bare/bare_window.exe" "$BARE_CLASS" 1 >/dev/null
time_program "$LAUNCHER_EXE" "$LAUNCHER_CLASS" 1 "$RUNTIME_LOG" >/dev/null
time_program "$STAGE/bare/bare_window.exe" "$BARE_CLASS" "$RUNS" >"$OUT_DIR/floor_runs.txt"
time_program "$LAUNCHER_EXE" "$LAUNCHER_CLASS" "$RUNS" "$RUNTIME_LOG" >"$OUT_DIR/launcher_runs.txt"

/usr/bin/python3 "$REPO_ROOT/bench/report.py" \
    --launcher-runs "$OUT_DIR/launcher_runs.txt" --floor-runs "$OUT_DIR/floor_runs.txt" \
    --exe "$BUILD_DIR/src/OstrivanLauncher.exe" --json "$OUT_DIR/results.json"
