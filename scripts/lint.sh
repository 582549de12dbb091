#!/bin/bash
# Checks the C and C++ sources with the repository's own configurations:
#   scripts/lint.sh format     clang-format: every tracked source formatted as .clang-format says
#   scripts/lint.sh tidy       clang-tidy (.clang-tidy) on the sources of both builds, warnings as
#                              errors; needs both build trees configured (build/windows and
#                              build/native, or LVX_LINT_WINDOWS_BUILD and LVX_LINT_NATIVE_BUILD)
#   scripts/lint.sh            both
#   scripts/lint.sh tidy FILE...   clang-tidy on those sources only (a quicker check of a change)
# Sources of the Windows build are analysed for the MinGW target with its C++ headers. A missing
# build tree ends the tidy check with code 77 (CTest's "skipped"), or 1 when CI is set.
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}
[ $# -gt 0 ] && shift
only=("$@")
status=0

if [ "$what" = format ] || [ "$what" = all ]; then
  mapfile -t sources < <(git ls-files '*.c' '*.cpp' '*.h')
  if ! clang-format --dry-run --Werror "${sources[@]}"; then
    echo "lint: clang-format would change the files above (run clang-format -i on them)" >&2
    status=1
  fi
fi

if [ "$what" = tidy ] || [ "$what" = all ]; then
  # The cross compiler's own C++ header folders, as it lists them (clang does not find them).
  mapfile -t cxx_dirs < <(i686-w64-mingw32-g++-posix -x c++ -E -v - </dev/null 2>&1 |
                          sed -n '/^#include <\.\.\.>/,/^End of search list/p' | grep '/include/c++')
  if [ ${#cxx_dirs[@]} -eq 0 ]; then
    echo "lint: the MinGW C++ compiler lists no C++ header folders" >&2
    exit 1
  fi
  mingw_args=(--extra-arg=--target=i686-w64-mingw32)
  for dir in "${cxx_dirs[@]}"; do mingw_args+=(--extra-arg=-isystem"${dir# }"); done
  windows_build=${LVX_LINT_WINDOWS_BUILD:-build/windows}
  native_build=${LVX_LINT_NATIVE_BUILD:-build/native}
  for db in "$windows_build" "$native_build"; do
    if [ ! -f "$db/compile_commands.json" ]; then
      echo "lint: $db/compile_commands.json is missing: configure both presets first" \
           "(cmake --preset windows && cmake --preset native), or run scripts/test.sh" >&2
      [ -n "${CI:-}" ] && exit 1
      exit 77
    fi
  done
  jobs=$(nproc)
  # Each translation unit once: from the Windows build when it is compiled there, else natively.
  # Only this repository's sources: GoogleTest's (compiled from /usr/src) are not ours.
  listed() { sed -n 's/^ *"file": "\(.*\)",\?$/\1/p' "$1" | sort -u; }
  root=$(pwd)
  mapfile -t windows_units < <(listed "$windows_build/compile_commands.json" | grep "^$root/")
  mapfile -t native_units < <(comm -23 <(listed "$native_build/compile_commands.json" | grep "^$root/") \
                                       <(printf '%s\n' "${windows_units[@]}"))
  # Sources that neither build compiles: the examples (built against the installed package by the
  # packaging test) with the Windows build's flags, the fuzz target (built by the fuzz preset) with
  # the native build's; clang-tidy takes the flags of the nearest unit of that build. The C example
  # gets its own flags, since those of a C++ unit would compile it as C++.
  mapfile -t unbuilt < <(comm -23 <(git ls-files '*.c' '*.cpp' | sed "s|^|$root/|" | sort) \
                                  <(printf '%s\n' "${windows_units[@]}" "${native_units[@]}" | sort))
  windows_c=() msvc_c=()
  for unit in "${unbuilt[@]}"; do
    case $unit in
      "$root"/tests/msvc_host/*.c) msvc_c+=("$unit") ;;
      "$root"/examples/*.c) windows_c+=("$unit") ;;
      "$root"/examples/*) windows_units+=("$unit") ;;
      *) native_units+=("$unit") ;;
    esac
  done
  if [ ${#only[@]} -gt 0 ]; then
    # Keep the units named on the command line, in whichever build compiles them.
    keep() { local unit file; for unit in "$@"; do for file in "${only[@]}"; do
      [ "$unit" = "$root/${file#./}" ] && { echo "$unit"; break; }; done; done; }
    mapfile -t windows_units < <(keep "${windows_units[@]}")
    mapfile -t native_units < <(keep "${native_units[@]}")
    mapfile -t unbuilt < <(keep "${unbuilt[@]}")
    mapfile -t windows_c < <(keep "${windows_c[@]}")
    mapfile -t msvc_c < <(keep "${msvc_c[@]}")
  fi
  [ ${#unbuilt[@]} -eq 0 ] || echo "lint: in no build, so analysed with the flags of a nearby unit (C: given ones): ${unbuilt[*]#"$root/"}" >&2

  batch() {  # clang-tidy arguments..., -- files
    local args=()
    while [ "$1" != -- ]; do args+=("$1"); shift; done
    shift
    [ $# -gt 0 ] || return 0
    printf '%s\n' "$@" | xargs -P "$jobs" -n 2 clang-tidy --quiet --warnings-as-errors='*' \
      "${args[@]}" 2> >(grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated|^Suppressed|^Use -header-filter' >&2)
  }
  run() {  # database, extra arguments..., -- files
    local db=$1; shift
    local args=(-p "$db")
    while [ "$1" != -- ]; do args+=("$1"); shift; done
    shift
    # The path-sensitive analyzer spends most of its time in the GoogleTest files exploring the
    # assertion macros; they get every other check.
    local tests=() others=()
    for unit in "$@"; do
      case $unit in
        *_test.cpp) tests+=("$unit") ;;
        *) others+=("$unit") ;;
      esac
    done
    batch "${args[@]}" "--checks=-clang-analyzer-*" -- "${tests[@]}" || status=1
    batch "${args[@]}" -- "${others[@]}" || status=1
  }
  run "$windows_build" "${mingw_args[@]}" -- "${windows_units[@]}"
  run "$native_build" -- "${native_units[@]}"
  for unit in "${windows_c[@]}"; do
    clang-tidy --quiet --warnings-as-errors='*' "$unit" -- --target=i686-w64-mingw32 -std=c11 \
      -I "$root/wrapper/include" \
      -Wall -Wextra 2> >(grep -v -E '^[0-9]+ warnings? generated|^Suppressed|^Use -header-filter' >&2) ||
      status=1
  done
  # The host program of Microsoft's ABI, with the flags its build gives clang.
  for unit in "${msvc_c[@]}"; do
    clang-tidy --quiet --warnings-as-errors='*' "$unit" -- --target=i686-pc-windows-msvc \
      -ffreestanding -std=c11 -I "$root/wrapper/include" -Wall -Wextra \
      2> >(grep -v -E '^[0-9]+ warnings? generated|^Suppressed|^Use -header-filter' >&2) ||
      status=1
  done
  [ $status -eq 0 ] || echo "lint: clang-tidy found problems (above)" >&2
fi
exit $status
