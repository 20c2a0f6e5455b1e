#!/usr/bin/env bash
# Installs what is missing, builds the launcher, stages dist/ and runs the launcher from there
# under Wine. Wine has no WebView2 runtime, so the project's fake one stands in, found through
# the library search path as a system-wide loader would be; it keeps the window black and, as
# if the player pressed Play, posts a game link after a few seconds, which the shell hands to
# a stand-in game client that writes down what it received. Without a DISPLAY the launcher runs
# on a virtual screen and a screenshot is saved. Close the window (or press Ctrl+C) to stop.
set -euo pipefail
REPO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$REPO_ROOT"
"$REPO_ROOT/scripts/setup.sh" run

cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross -j "$(nproc)" --target dist fake_webview2_loader game_client_recorder

RUN_DIR="$REPO_ROOT/build/run"
rm -rf "$RUN_DIR" && mkdir -p "$RUN_DIR"
. "$REPO_ROOT/tests/support/wine_env.sh"
finish() {
    stop_wine
    [ -z "$headless" ] || stop_xvfb
    echo "Calls the launcher made into the web view runtime: $RUN_DIR/runtime.log"
    if [ -f "$RUN_DIR/game_client.log" ]; then
        echo "The game client was started with:"
        sed -n 's/^cmdline /  /p' "$RUN_DIR/game_client.log"
    fi
}
trap finish EXIT

# The display comes first: the Wine session the next commands start lives on it.
headless=
if [ -z "${DISPLAY:-}" ]; then
    start_xvfb 1920x1080
    headless=1
fi
prepare_wine_prefix
FAKE_RUNTIME="$REPO_ROOT/build/windows/tests/fake_runtime"
"$REPO_ROOT/tests/fake_runtime/register_game_client.sh" "$WINE_BIN" "$FAKE_RUNTIME/game_client_recorder.exe"

printf '%s\n' 'wait 3000' 'message-string fivem://connect/127.0.0.1:30120' >"$RUN_DIR/scenario.txt"
windows() { echo "Z:${1//\//\\}"; }
export WINEPATH FAKE_WEBVIEW2_SCENARIO FAKE_WEBVIEW2_LOG GAME_CLIENT_RECORD
WINEPATH=$(windows "$FAKE_RUNTIME/loader")
FAKE_WEBVIEW2_SCENARIO=$(windows "$RUN_DIR/scenario.txt")
FAKE_WEBVIEW2_LOG=$(windows "$RUN_DIR/runtime.log")
GAME_CLIENT_RECORD=$(windows "$RUN_DIR/game_client.log")

echo "Starting dist/OstrivanLauncher.exe under Wine on display $DISPLAY"
"$WINE_BIN" "$REPO_ROOT/dist/OstrivanLauncher.exe" &
launcher=$!
if [ -n "$headless" ]; then
    sleep 5
    import -display "$DISPLAY" -window root "$RUN_DIR/screen.png" 2>/dev/null &&
        echo "Screenshot of the virtual screen: $RUN_DIR/screen.png"
    echo "The launcher is running on a virtual screen; press Ctrl+C to stop it."
fi
status=0
wait "$launcher" || status=$?
echo "The launcher exited with code $status"
