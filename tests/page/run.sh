#!/usr/bin/env bash
# Runs the start page's browser tests in headless Chromium, from any folder.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")"

if [[ ! -x /usr/bin/chromium ]]; then
  echo "run.sh: /usr/bin/chromium is missing; install Debian's chromium package first." >&2
  exit 1
fi

# A copy of the lock file that node_modules was installed from: any change reinstalls.
installed_from=node_modules/.installed-package-lock.json
if ! cmp -s package-lock.json "$installed_from"; then
  npm ci --no-audit --no-fund
  cp package-lock.json "$installed_from"
fi

npm test
