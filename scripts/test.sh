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
if build/windows/wine-run --check; then
  ctest --preset windows "$@" || status=1
else
  # Nothing 32-bit runs on this machine, so the Windows tests cannot (wine-run said why above).
  # The Windows tree's checks that need no Wine still run; what did not run is said plainly.
  # LVX_REQUIRE_WINE=1 turns the missing tests into a failure.
  programs=$(find build/windows/tests -name '*_include.cmake' | wc -l)
  echo "test.sh: Windows tests NOT RUN here: $programs GoogleTest programs and the package" \
    "consumers' test need 32-bit Wine; running the Windows build's checks that need none" >&2
  checks=0
  bash scripts/lint.sh format || checks=1
  LVX_LINT_WINDOWS_BUILD=$PWD/build/windows LVX_LINT_NATIVE_BUILD=$PWD/build/native \
    bash scripts/lint.sh tidy || checks=1
  bash tests/packaging/consumers_from_package.sh "$PWD" "$PWD/build/windows" --build-only ||
    checks=1
  if [ $checks -eq 0 ]; then
    echo "test.sh: format, clang-tidy, package build and imports: passed" >&2
  else
    echo "test.sh: format, clang-tidy, package build and imports: FAILED" >&2
    status=1
  fi
  echo "test.sh: Windows tests not run: this machine cannot execute 32-bit programs" >&2
  if [ -n "${LVX_REQUIRE_WINE:-}" ]; then status=1; fi
fi
exit $status
