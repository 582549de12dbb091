#!/bin/bash
# Builds everything and runs every test: the 32-bit Windows build under Wine on a virtual display,
# and the native build of the code that needs no Windows API. Installs what is missing first.
#   scripts/test.sh [ctest arguments...]     e.g. scripts/test.sh -R Resize
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"

# Printers for the print dialog tests; Wine reads them when each test program starts.
bash scripts/start-printer.sh

# The native tests first: their corpus comparison builds the real-world PDF corpus (once, in
# build/native/corpus), which the Windows tests of the stand-in then also use.
status=0
ctest --preset native "$@" || status=1
ctest --preset windows "$@" || status=1
exit $status
