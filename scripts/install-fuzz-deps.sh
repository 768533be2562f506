#!/usr/bin/env bash
# Installs what fuzz/run.sh needs: clang and its sanitizer and libFuzzer runtimes. Kept
# apart from install-deps.sh so that building and running the program stay light.
# Idempotent; uses sudo when not run as root.
set -euo pipefail
packages=(clang libclang-rt-dev libfreeimage-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
((${#missing[@]} == 0)) && exit 0
SUDO=
[ "$(id -u)" = 0 ] || SUDO=sudo
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
