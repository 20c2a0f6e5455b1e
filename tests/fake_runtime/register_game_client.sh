#!/usr/bin/env bash
# Makes game_client_recorder.exe the program Wine starts for fivem:// links in the current
# WINEPREFIX. The class is written under HKCR because this Wine does not look up URL schemes
# in HKCU\Software\Classes.
#
# usage: register_game_client.sh <wine64> <game_client_recorder.exe, Linux path>
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 <wine64> <game_client_recorder.exe>" >&2
  exit 2
fi
wine64=$1
recorder=$2
if [[ ! -f $recorder ]]; then
  echo "$0: no such file: $recorder" >&2
  exit 2
fi

run_wine() { WINEDEBUG=-all timeout 60 "$wine64" "$@"; }

# winepath.exe ends its output with CR LF.
recorder_windows=$(run_wine winepath.exe -w "$recorder" | tr -d '\r\n')

run_wine reg add 'HKCR\fivem' /ve /d 'URL:fivem Protocol' /f >/dev/null
run_wine reg add 'HKCR\fivem' /v 'URL Protocol' /d '' /f >/dev/null
run_wine reg add 'HKCR\fivem\shell\open\command' /ve /d "\"$recorder_windows\" \"%1\"" /f >/dev/null
