#!/bin/bash
# Builds the ZIP package, unpacks it into an empty folder, builds the example programs against the
# unpacked package alone (not the build tree), runs them under Wine on a generated 3-page PDF and
# checks their output, and checks that every shipped binary imports only system DLLs.
#   consumers_from_package.sh SOURCE_DIR BUILD_DIR [--build-only]
# --build-only stops before running anything under Wine (for a machine that cannot run 32-bit
# programs); it still builds the examples from the package and checks every binary's imports.
set -euo pipefail
src=$1 build=$2 build_only=${3:-}
here=$(dirname "$0")
work=$build/package-check
rm -rf "$work"
mkdir -p "$work/run"

(cd "$build" && cpack -G ZIP -B "$work/zip" >/dev/null)
zip=$(ls "$work"/zip/lumivexctl-*-win32.zip)
unzip -q "$zip" -d "$work/unpacked"
pkg=$(ls -d "$work"/unpacked/lumivexctl-*-win32)
echo "package: $(basename "$zip"), $(find "$pkg" -type f | wc -l) files"
for shipped in bin/lumivexctl.dll bin/ostrada.exe lib/lumivexctl.dll.a \
               include/lumivexctl/lumivexcontrol.h lib/cmake/lumivexctl/lumivexctlConfig.cmake \
               standin-viewer/Lumivex01.dll standin-viewer/README.txt; do
  [ -f "$pkg/$shipped" ] || { echo "package lacks $shipped" >&2; exit 1; }
done

cmake -S "$src/examples" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw32.cmake" -DCMAKE_PREFIX_PATH="$pkg" >/dev/null
cmake --build "$work/build" -j2 >/dev/null

cp "$work/build/embed_dialog/embed_dialog.exe" "$work/build/runtime_loading/runtime_loading.exe" \
   "$pkg/bin/lumivexctl.dll" "$pkg/standin-viewer/Lumivex01.dll" "$work/run/"
"$here/make_sample_pdf.sh" 3 "$work/run/sample.pdf"
pdf="Z:$(echo "$work/run/sample.pdf" | tr / '\\')"

status=0
expect_pages() {  # program, arguments...
  local out
  out=$("$build/wine-run" "$@" 2>&1) || { echo "$1 failed: $out" >&2; status=1; return; }
  if grep -qx 'pages: 3' <<<"$(tr -d '\r' <<<"$out")"; then
    echo "$(basename "$1"): pages: 3"
  else
    echo "$(basename "$1") printed: $out (expected pages: 3)" >&2
    status=1
  fi
}
if [ "$build_only" = --build-only ]; then
  echo "examples built from the package; not run (--build-only)"
else
  expect_pages "$work/run/embed_dialog.exe" "$pdf" --close
  expect_pages "$work/run/runtime_loading.exe" "$pdf"
fi

"$here/check_imports.sh" "$pkg/bin/lumivexctl.dll" "$pkg/bin/ostrada.exe" \
  "$pkg/standin-viewer/Lumivex01.dll" "$work/run/runtime_loading.exe" || status=1
"$here/check_imports.sh" --allow lumivexctl.dll "$work/run/embed_dialog.exe" || status=1
exit $status
