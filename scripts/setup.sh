#!/usr/bin/env bash
# Installs, from Debian's packages, what building and running (`setup.sh run`) or also testing
# (`setup.sh test`) the launcher needs on Debian 12, skipping whatever is already installed.
set -euo pipefail

# The Windows build configures its test targets too (the fake runtime the run command uses).
RUN_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix googletest wine64 xvfb imagemagick)
TEST_PACKAGES=(g++ libgtest-dev clang libclang-rt-14-dev python3 python3-pytest python3-pefile chromium)

case "${1:-test}" in
    run) wanted=("${RUN_PACKAGES[@]}") ;;
    test) wanted=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
    *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac
# Node.js may come from elsewhere than Debian; only install it when there is none at all.
if ! command -v npm >/dev/null 2>&1 && [ "${1:-test}" = test ]; then wanted+=(nodejs npm); fi

missing=()
for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
