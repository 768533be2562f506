#!/usr/bin/env bash
# run-under-wine.sh BUILD_DIR PROGRAM [ARGS...]
# Runs a Winelib test program in the build folder's own Wine prefix, headless when there
# is no display, with no first-run prompts, and passes its exit status on. With
# TOLVANE_TEST_DPI set (e.g. 192), in a prefix of its own whose display has that DPI; with
# TOLVANE_TEST_PREFIX, in the prefix of that name.
set -u
wine64=$(cd "$(dirname "$0")/../../scripts" && pwd)/wine64.sh
build=$1; shift
program=$1; shift
[ -f "$program.so" ] && program="$program.so"

dpi=${TOLVANE_TEST_DPI:-96}
prefix=${TOLVANE_TEST_PREFIX:-wineprefix}
[ "$dpi" = 96 ] || prefix=$prefix-dpi$dpi
export WINEPREFIX="$build/$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
mkdir -p "$build"

# One prefix per build folder and DPI, made once; ctest -j runs tests side by side.
exec 9>"$build/$prefix.lock"
flock 9
if [ ! -f "$WINEPREFIX/.tolvane-ready" ]; then
  "$wine64" wineboot -i >/dev/null 2>&1 9>&-
  # Read by every program when it starts.
  "$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  # No window manager under Xvfb: unmanaged windows close at once instead of after 2 s.
  "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  "$wine64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  # Debian's Wine does not find its own Marlett font, which draws the caption buttons.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  touch "$WINEPREFIX/.tolvane-ready"
fi

# A shared headless X server for the build folder when there is no display.
if [ -z "${DISPLAY:-}" ]; then
  xdir="$build/xvfb"
  mkdir -p "$xdir"
  # Alive means running (not a zombie) with its socket in place.
  alive() {
    [ -f "$xdir/pid" ] && [ -f "$xdir/display" ] || return 1
    state=$(ps -o stat= -p "$(cat "$xdir/pid")" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "${state#Z}" = "$state" ] && [ -S "/tmp/.X11-unix/X$(tr -d ':' < "$xdir/display")" ]
  }
  if ! alive; then
    rm -f "$xdir/display"
    exec 8>"$xdir/displayfd"
    setsid Xvfb -displayfd 8 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 9>&- &
    echo $! > "$xdir/pid"
    exec 8>&-
    for _ in $(seq 50); do [ -s "$xdir/displayfd" ] && break; sleep 0.1; done
    echo ":$(tr -d '[:space:]' < "$xdir/displayfd")" > "$xdir/display"
  fi
  export DISPLAY=$(cat "$xdir/display")
fi
# Keep Wine's server up between the test processes (test.sh stops it at the end):
# starting it afresh for every test costs more than the test itself.
(setsid wineserver -p 9>&- >/dev/null 2>&1 &)
flock -u 9

# Wine's own service processes outlive the test and would keep ctest's output pipe open:
# the test writes to a file, which is passed on afterwards.
output=$(mktemp "${TMPDIR:-/tmp}/tolvane-test.XXXXXX")
"$wine64" "$program" "$@" >"$output" 2>&1 </dev/null
status=$?
cat "$output"
rm -f "$output"
exit $status
