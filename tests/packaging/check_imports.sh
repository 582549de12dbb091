#!/bin/bash
# Checks that each given Windows binary imports only Windows system DLLs (plus the DLLs named with
# --allow), so that it runs on a bare Windows without any MinGW runtime DLL.
#   check_imports.sh [--allow NAME.dll]... FILE...
set -euo pipefail
allowed=(kernel32.dll user32.dll gdi32.dll comdlg32.dll winspool.drv advapi32.dll shell32.dll
         comctl32.dll msvcrt.dll ole32.dll oleaut32.dll ws2_32.dll bcrypt.dll shlwapi.dll)
while [ "${1:-}" = "--allow" ]; do
  allowed+=("$(echo "$2" | tr '[:upper:]' '[:lower:]')")
  shift 2
done
status=0
for file in "$@"; do
  mapfile -t imports < <(i686-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p' |
                         tr '[:upper:]' '[:lower:]')
  for dll in "${imports[@]}"; do
    if [[ ! " ${allowed[*]} " == *" $dll "* ]]; then
      echo "$file imports $dll, which is not a Windows system DLL" >&2
      status=1
    fi
  done
  echo "$(basename "$file"): ${imports[*]}"
done
exit $status
