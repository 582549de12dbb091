#!/bin/bash
# Checks that each given Windows binary (32-bit or 64-bit) imports only Windows system DLLs (plus
# the DLLs named with --allow), so that it runs on a bare Windows without any MinGW runtime DLL.
# A binary whose imports cannot be read fails: every Windows program imports at least kernel32.
#   check_imports.sh [--allow NAME.dll]... FILE...
set -euo pipefail
allowed=(kernel32.dll user32.dll gdi32.dll comdlg32.dll winspool.drv advapi32.dll shell32.dll
         comctl32.dll msvcrt.dll ole32.dll oleaut32.dll oleacc.dll ws2_32.dll bcrypt.dll shlwapi.dll)
while [ "${1:-}" = "--allow" ]; do
  allowed+=("$(echo "$2" | tr '[:upper:]' '[:lower:]')")
  shift 2
done
# The x86-64 objdump reads both PE32 and PE32+; the i686 one cannot read 64-bit binaries.
objdump=x86_64-w64-mingw32-objdump
command -v "$objdump" >/dev/null || objdump=i686-w64-mingw32-objdump
status=0
for file in "$@"; do
  if ! dump=$("$objdump" -p "$file" 2>&1); then
    echo "$file: $objdump cannot read it: $dump" >&2
    status=1
    continue
  fi
  format=$(sed -n 's/^.*file format //p' <<<"$dump" | head -n 1)
  mapfile -t imports < <(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | tr '[:upper:]' '[:lower:]')
  if [ ${#imports[@]} -eq 0 ]; then
    echo "$file: no imports read ($format); a Windows program imports at least kernel32.dll" >&2
    status=1
    continue
  fi
  for dll in "${imports[@]}"; do
    if [[ ! " ${allowed[*]} " == *" $dll "* ]]; then
      echo "$file imports $dll, which is not a Windows system DLL" >&2
      status=1
    fi
  done
  echo "$(basename "$file") ($format): ${imports[*]}"
done
exit $status
