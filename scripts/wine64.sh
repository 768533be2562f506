#!/bin/sh
# wine64.sh PROGRAM [ARGS...]
# Runs PROGRAM with Wine's 64-bit loader. Once 32-bit Wine is installed, Debian's `wine`
# always picks the 32-bit loader, which cannot start the 64-bit Winelib program ("could
# not load kernel32.dll"); the 64-bit loader starts it either way, and hands Wine's own
# programs and 32-bit Windows programs on to the loader they need. WINELOADER keeps Wine's
# own new processes on that loader. (The decoder processes the program starts go through
# its launcher script, cmake/winelib-launcher.sh, which keeps to the 64-bit loader itself.)
loader=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$') || loader=
[ -x "$loader" ] || loader=$(command -v wine)
WINELOADER=$loader
export WINELOADER
exec "$loader" "$@"
