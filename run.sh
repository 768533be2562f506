#!/usr/bin/env bash
# Installs what is missing, builds Tolvane and starts it on your display through Wine.
# Uses your WINEPREFIX when one is set.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
# Tolvane needs neither .NET nor the HTML engine: no first-run download prompts.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine build/win/Tolvane.exe.so "$@"
