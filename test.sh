#!/usr/bin/env bash
# Installs what is missing, builds Tolvane (the Winelib program, and with
# build-windows.sh the Windows Tolvane.exe for 64 and 32 bits) and runs every test: the
# native core tests, the UI tests under Wine (headless when there is no display) and the
# 64-bit Tolvane.exe driven under Wine. Ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
./build-windows.sh
status=0
# The fuzz target on every committed input, then on a fixed run of mutations.
fuzz/run.sh check build/fuzz >build/fuzz.log 2>&1 || { status=1; tail -30 build/fuzz.log; }
grep -E '^stat::(number_of_executed_units|new_units_added)' build/fuzz.log || true
(cd build && ctest -j"$(nproc)" --output-on-failure) || status=$?
# The shared headless X server and Wine's servers of the test prefixes are no longer needed.
if [ -f build/win/xvfb/pid ]; then kill "$(cat build/win/xvfb/pid)" 2>/dev/null || true; fi
for prefix in "$PWD"/build/win/wineprefix*/; do WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; done
exit $status
