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
# Debian's Wine does not find its own Marlett font, which draws the caption buttons.
prefix="${WINEPREFIX:-$HOME/.wine}"
[ -d "$prefix" ] || scripts/wine64.sh wineboot -i >/dev/null 2>&1
fonts="$prefix/drive_c/windows/Fonts"
[ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/" 2>/dev/null || true
exec scripts/wine64.sh build/win/Tolvane.exe.so "$@"
