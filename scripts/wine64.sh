#!/bin/sh
# wine64.sh PROGRAM [ARGS...]
# Runs PROGRAM with Wine's 64-bit loader. Once 32-bit Wine is installed, Debian's `wine`
# always picks the 32-bit loader, which cannot start the 64-bit Winelib program ("could
# not load kernel32.dll"); the 64-bit loader starts it either way, and hands Wine's own
# programs and 32-bit Windows programs on to the loader they need. The program's own
# launcher (a decoder process started from it) uses the same loader.
loader=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$') || loader=
[ -x "$loader" ] || loader=/usr/bin/wine  # not `wine` from PATH: that may be loader64/wine
WINELOADER=$loader
# Wine hides WINELOADER from the programs it starts outside Wine: the launcher script of a
# Winelib program started from inside Wine runs `wine` from PATH, which scripts/loader64
# makes this loader.
PATH=$(cd "$(dirname "$0")" && pwd)/loader64:$PATH
export WINELOADER PATH
exec "$loader" "$@"
