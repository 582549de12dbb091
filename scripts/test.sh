#!/bin/bash
# Builds everything and runs every test this machine allows, and says which ran:
#   - the native build of the code that needs no Windows API;
#   - the 64-bit Windows build under 64-bit Wine (every x86-64 machine runs it);
#   - the 32-bit Windows build under 32-bit Wine where this machine executes 32-bit code, otherwise
#     in an emulated PC (scripts/emulated-pc.sh) that boots Debian's own kernel, which does.
# Installs what is missing first.
#   scripts/test.sh [ctest arguments...]     e.g. scripts/test.sh -R Resize
#
# The closing summary is always printed: each part with its result and time, the tests each part
# skipped, and the parts that could not run with the reason. The exit status is 0 only when every
# part passed.
#
# Environment:
#   LVX_32BIT_ROUTE      auto (default), native or emulated: where the 32-bit suite runs
#   LVX_EMULATED_TESTS   selection (default) or all: which 32-bit tests the emulated PC runs; the
#                        selection is what only the 32-bit build can prove (labels abi, e2e)
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2

started=$SECONDS
part_started=$SECONDS
status=0
route=${LVX_32BIT_ROUTE:-auto}
declare -a summary=()
logs=$(mktemp -d)

note() {  # note PART RESULT: one line of the closing summary, with the part's time
  summary+=("$(printf '%-50s %-8s %5d s' "$1" "$2" $((SECONDS - part_started)))")
}
not_run() {  # not_run PART WHY: a part that could not run; the run fails
  summary+=("$(printf '%-50s %-8s %s' "$1" "NOT RUN" "$2")")
  status=1
}
finish() {
  echo "test.sh: summary (32-bit route: $route)" >&2
  printf '  %s\n' "${summary[@]}" >&2
  echo "  total $((SECONDS - started)) s" >&2
  rm -rf "$logs"
  exit $status
}
trap finish EXIT

part_started=$SECONDS
if ! bash scripts/setup.sh; then
  note "setup (scripts/setup.sh)" FAILED
  status=1
  exit
fi

# The builds; a preset whose configuration or build failed leaves its tests out, and says so.
declare -A built=()
build() {  # build PRESET NAME
  part_started=$SECONDS
  echo "test.sh: === build: $2 ===" >&2
  if cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j"$(nproc)"; then
    built[$1]=1
    note "build: $2" built
  else
    note "build: $2" FAILED
    status=1
  fi
}
build windows "32-bit"
build windows64 "64-bit"
build native "native"

# Printers for the print tests; Wine reads them when each test program starts.
part_started=$SECONDS
if ! bash scripts/start-printer.sh; then
  note "printers (scripts/start-printer.sh)" FAILED
  status=1
fi

run_part() {  # run_part NAME COMMAND...: runs one part, records its result, skipped tests and time
  local name=$1 log=$logs/part.log skipped
  shift
  part_started=$SECONDS
  echo "test.sh: === $name ===" >&2
  if "$@" 2>&1 | tee "$log"; then
    note "$name" passed
  else
    note "$name" FAILED
    status=1
  fi
  # ctest lists what it skipped (return code 77 and the like) under "did not run": a skip is not
  # a pass, so the summary names each one.
  skipped=$(sed -n 's/\r$//; s/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$log")
  if [ -n "$skipped" ]; then
    while read -r test; do summary+=("    skipped: $test"); done <<<"$skipped"
  fi
}

# The native tests first: their corpus comparison builds the real-world PDF corpus (once, in
# build/native/corpus), which the Windows tests of the stand-in then also use.
if [ -n "${built[native]:-}" ]; then
  run_part "native tests" ctest --preset native "$@"
else
  not_run "native tests" "the native build failed"
fi
if [ -n "${built[windows64]:-}" ]; then
  run_part "64-bit Windows tests (64-bit Wine)" ctest --preset windows64 "$@"
else
  not_run "64-bit Windows tests" "the 64-bit build failed"
fi

if [ -z "${built[windows]:-}" ]; then
  not_run "32-bit Windows tests" "the 32-bit build failed"
  exit
fi
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
    if [ "${LVX_EMULATED_TESTS:-selection}" != all ]; then
      summary+=("    not run in the emulated PC: the other 32-bit tests (the drawing comparison")
      summary+=("    among them); LVX_EMULATED_TESTS=all runs them")
    fi
    ;;
  *)
    echo "test.sh: LVX_32BIT_ROUTE must be auto, native or emulated, not $route" >&2
    not_run "32-bit Windows tests" "LVX_32BIT_ROUTE=$route is not auto, native or emulated"
    ;;
esac
