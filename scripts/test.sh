#!/bin/bash
# Builds everything and runs every test this machine allows, and says which ran:
#   - the native build of the code that needs no Windows API;
#   - the 64-bit Windows build under 64-bit Wine (every x86-64 machine runs it);
#   - the 32-bit Windows build under 32-bit Wine where this machine executes 32-bit code, otherwise
#     in an emulated PC (scripts/emulated-pc.sh) that boots Debian's own kernel, which does.
# Installs what is missing first.
#   scripts/test.sh [ctest arguments...]     e.g. scripts/test.sh -R Resize
#
# Environment:
#   LVX_32BIT_ROUTE      auto (default), native or emulated: where the 32-bit suite runs
#   LVX_EMULATED_TESTS   selection (default) or all: which 32-bit tests the emulated PC runs; the
#                        selection is what only the 32-bit build can prove (labels abi, e2e)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

started=$SECONDS
declare -a summary=()
note() {  # note PART STATUS: one line of the closing summary, with the part's time
  summary+=("$(printf '%-44s %-8s %5d s' "$1" "$2" $((SECONDS - part_started)))")
}

jobs=$(nproc)
part_started=$SECONDS
for preset in windows windows64 native; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset -j"$jobs"
done
note "build: 32-bit, 64-bit and native" done

# Printers for the print tests; Wine reads them when each test program starts.
bash scripts/start-printer.sh

status=0
run_part() {  # run_part NAME COMMAND...: runs one part, records its result and time
  local name=$1
  shift
  part_started=$SECONDS
  echo "test.sh: === $name ===" >&2
  if "$@"; then
    note "$name" passed
  else
    note "$name" FAILED
    status=1
  fi
}

# The native tests first: their corpus comparison builds the real-world PDF corpus (once, in
# build/native/corpus), which the Windows tests of the stand-in then also use.
run_part "native tests" ctest --preset native "$@"
run_part "64-bit Windows tests (64-bit Wine)" ctest --preset windows64 "$@"

route=${LVX_32BIT_ROUTE:-auto}
if [ "$route" = auto ]; then
  if build/windows/wine-run --check; then route=native; else route=emulated; fi
fi
case $route in
  native)
    run_part "32-bit Windows tests (32-bit Wine)" ctest --preset windows "$@"
    ;;
  emulated)
    # The checks that run no Windows program (lint, imports) run here; the package's examples are
    # built here too and only run in the emulated PC, where building is slow.
    echo "test.sh: the 32-bit Windows tests run in an emulated PC (scripts/emulated-pc.sh)" >&2
    run_part "32-bit checks without Wine (lint, imports)" ctest --preset windows -L nowine "$@"
    run_part "32-bit package examples built" bash tests/packaging/consumers_from_package.sh \
      "$PWD" "$PWD/build/windows" win32 --build-only
    if [ "${LVX_EMULATED_TESTS:-selection}" = all ]; then
      selection=(-LE nowine)
      name="32-bit Windows tests, all (emulated PC)"
    else
      selection=(-L 'abi|e2e')
      name="32-bit Windows tests, abi and e2e (emulated PC)"
    fi
    LVX_PACKAGE_PREBUILT=1 run_part "$name" bash scripts/emulated-pc.sh build/windows \
      "${selection[@]}" "$@"
    ;;
  *)
    echo "test.sh: LVX_32BIT_ROUTE must be auto, native or emulated, not $route" >&2
    exit 2
    ;;
esac

echo "test.sh: summary (32-bit route: $route)" >&2
printf '  %s\n' "${summary[@]}" >&2
echo "  total $((SECONDS - started)) s" >&2
exit $status
