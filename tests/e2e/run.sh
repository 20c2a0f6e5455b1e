#!/usr/bin/env bash
# Runs the end-to-end tests against a Windows build folder: prepares the Wine prefix, then
# hands over to pytest, which starts its own Xvfb displays.
set -euo pipefail
REPO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_DIR=$(cd "${1:?usage: run.sh <windows build folder> [pytest args]}" && pwd)
shift
. "$REPO_ROOT/tests/support/wine_env.sh"
prepare_wine_prefix
"$REPO_ROOT/tests/fake_runtime/register_game_client.sh" "$WINE_BIN" \
    "$BUILD_DIR/tests/fake_runtime/game_client_recorder.exe"
export LAUNCHER_BUILD_DIR="$BUILD_DIR" WINE_BIN
exec /usr/bin/python3 -m pytest -p no:cacheprovider -q "$REPO_ROOT/tests/e2e" "$@"
