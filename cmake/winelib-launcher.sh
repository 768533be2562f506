#!/bin/sh
# Starts the Winelib program beside this script (its name + .so) with Wine's 64-bit
# loader; installed over winegcc's own launcher. That one takes WINELOADER, which Wine
# sets, for the processes it starts, to its 32-bit loader once 32-bit Wine is installed:
# the program's decoder processes then could not start ("could not load kernel32.dll").
here=$(dirname "$0")
WINEDLLPATH=$here${WINEDLLPATH:+:$WINEDLLPATH}
export WINEDLLPATH
loader=${WINELOADER:-}
case $loader in */wine) [ -x "${loader}64" ] && loader=${loader}64 ;; esac
[ -x "$loader" ] || loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=wine
exec "$loader" "$here/$(basename "$0").so" "$@"
