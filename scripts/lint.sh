#!/bin/bash
# Checks the C and C++ sources with the repository's own configurations:
#   scripts/lint.sh format     clang-format: every tracked source formatted as .clang-format says
#   scripts/lint.sh tidy       clang-tidy (.clang-tidy) on the sources of both builds, warnings as
#                              errors; needs configured build trees (build/windows, build/native)
#   scripts/lint.sh            both
# Sources of the Windows build are analysed for the MinGW target with its C++ headers.
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}
status=0

if [ "$what" = format ] || [ "$what" = all ]; then
  mapfile -t sources < <(git ls-files '*.c' '*.cpp' '*.h')
  if ! clang-format --dry-run --Werror "${sources[@]}"; then
    echo "lint: clang-format would change the files above (run clang-format -i on them)" >&2
    status=1
  fi
fi

if [ "$what" = tidy ] || [ "$what" = all ]; then
  gcc_version=$(i686-w64-mingw32-g++-posix -dumpversion)
  cxx=/usr/lib/gcc/i686-w64-mingw32/${gcc_version}-posix/include/c++
  mingw_args=(--extra-arg=--target=i686-w64-mingw32 --extra-arg=-isystem"$cxx"
              --extra-arg=-isystem"$cxx/i686-w64-mingw32" --extra-arg=-isystem"$cxx/backward")
  jobs=$(nproc)
  # Each translation unit once: from the Windows build when it is compiled there, else natively.
  # GoogleTest's own sources are not ours.
  listed() { sed -n 's/^ *"file": "\(.*\)",\?$/\1/p' "$1" | sort -u; }
  root=$(pwd)
  mapfile -t windows_units < <(listed build/windows/compile_commands.json | grep "^$root/" | grep -v /googletest/)
  mapfile -t native_units < <(comm -23 <(listed build/native/compile_commands.json | grep "^$root/" | grep -v /googletest/) \
                                       <(printf '%s\n' "${windows_units[@]}"))
  run() {  # database, extra arguments..., -- files
    local db=$1; shift
    local args=()
    while [ "$1" != -- ]; do args+=("$1"); shift; done
    shift
    printf '%s\n' "$@" | xargs -P "$jobs" -n 4 clang-tidy -p "$db" --quiet --warnings-as-errors='*' \
      "${args[@]}" 2> >(grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated|^Suppressed|^Use -header-filter' >&2)
  }
  run build/windows "${mingw_args[@]}" -- "${windows_units[@]}" || status=1
  if [ ${#native_units[@]} -gt 0 ]; then
    run build/native -- "${native_units[@]}" || status=1
  fi
  [ $status -eq 0 ] || echo "lint: clang-tidy found problems (above)" >&2
fi
exit $status
