#!/bin/bash
# Builds the ZIP package, unpacks it into an empty folder, builds the example programs against the
# unpacked package alone (not the build tree), runs them under Wine on a generated 3-page PDF and
# checks their output, and checks that every shipped binary imports only system DLLs. Also checks
# that the package's CMake configuration refuses a project of the other architecture.
#   consumers_from_package.sh SOURCE_DIR BUILD_DIR win32|win64 [--build-only | --run-only]
# --build-only stops before running anything under Wine (for a machine that cannot run this
# architecture's programs); it still builds the examples from the package and checks imports.
# --run-only runs what an earlier --build-only left (in an emulated PC, where building is slow);
# LVX_PACKAGE_PREBUILT=1 in the environment asks for it too.
set -euo pipefail
src=$1 build=$2 arch=$3 mode=${4:-}
if [ -z "$mode" ] && [ "${LVX_PACKAGE_PREBUILT:-}" = 1 ]; then mode=--run-only; fi
here=$(dirname "$0")
case $arch in
  win32) toolchain=mingw32 other=mingw64 ;;
  win64) toolchain=mingw64 other=mingw32 ;;
  *) echo "usage: $0 SOURCE_DIR BUILD_DIR win32|win64 [--build-only | --run-only]" >&2; exit 2 ;;
esac
work=$build/package-check
status=0

build_from_package() {
  rm -rf "$work"
  mkdir -p "$work/run"
  (cd "$build" && cpack -G ZIP -B "$work/zip" >/dev/null)
  zip=$(ls "$work"/zip/lumivexctl-*-"$arch".zip)
  unzip -q "$zip" -d "$work/unpacked"
  pkg=$(ls -d "$work"/unpacked/lumivexctl-*-"$arch")
  echo "package: $(basename "$zip"), $(find "$pkg" -type f | wc -l) files"
  for shipped in bin/lumivexctl.dll bin/ostrada.exe lib/lumivexctl.dll.a \
                 include/lumivexctl/lumivexcontrol.h lib/cmake/lumivexctl/lumivexctlConfig.cmake \
                 lib/lumivexctl.lib include/lumivexctl/lumivexctl_c.h LICENSE THIRD-PARTY-NOTICES \
                 standin-viewer/Lumivex01.dll standin-viewer/README.txt \
                 standin-viewer/libgcrypt-20.dll standin-viewer/libgpg-error-0.dll \
                 standin-viewer/COPYING-LGPL-2.1.txt; do
    [ -f "$pkg/$shipped" ] || { echo "package lacks $shipped" >&2; exit 1; }
  done

  cmake -S "$src/examples" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-$toolchain.cmake" -DCMAKE_PREFIX_PATH="$pkg" >/dev/null
  cmake --build "$work/build" -j2 >/dev/null

  # A project of the other architecture must be refused at configure time, with the reason.
  local refusal
  if refusal=$(cmake -S "$src/examples" -B "$work/other" \
                 -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-$other.cmake" \
                 -DCMAKE_PREFIX_PATH="$pkg" 2>&1); then
    echo "the $arch package was accepted by a project of the other architecture" >&2
    status=1
  elif grep -q "is for $arch programs" <<<"$refusal"; then
    echo "the $arch package refuses the other architecture:" \
      "$(grep -m1 -o "is for $arch programs.*" <<<"$refusal")"
  else
    echo "configuring the other architecture failed, but not with the package's reason: $refusal" >&2
    status=1
  fi

  cp "$work/build/embed_dialog/embed_dialog.exe" "$work/build/runtime_loading/runtime_loading.exe" \
     "$work/build/c_interface/c_interface.exe" \
     "$pkg/bin/lumivexctl.dll" "$pkg"/standin-viewer/*.dll "$work/run/"
  "$here/make_sample_pdf.sh" 3 "$work/run/sample.pdf"
  "$here/make_sample_pdf.sh" 2 "$work/run/sample2.pdf"

  "$here/check_imports.sh" "$pkg/bin/lumivexctl.dll" "$pkg/bin/ostrada.exe" \
    "$work/run/runtime_loading.exe" || status=1
  "$here/check_imports.sh" --allow libgcrypt-20.dll --allow libgpg-error-0.dll \
    "$pkg"/standin-viewer/*.dll || status=1
  "$here/check_imports.sh" --allow lumivexctl.dll "$work/run/embed_dialog.exe" \
    "$work/run/c_interface.exe" || status=1
}

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
# Two viewers in one dialog (embed_dialog --two): both open, the right one still answers after the
# left one's KILL, and the left object starts again in a new placeholder.
expect_two_viewers() {  # program, left pdf (3 pages), right pdf (2 pages)
  local out expected
  out=$("$build/wine-run" "$1" --two "$2" "$3" --close 2>&1) || {
    echo "$(basename "$1") --two failed: $out" >&2; status=1; return; }
  expected=$'left pages: 3\nright pages: 2\nright after left closed: pages: 2\nleft reopened: pages: 3'
  if [ "$(tr -d '\r' <<<"$out" | grep -E '^(left|right) ')" = "$expected" ]; then
    echo "$(basename "$1") --two: $(tr -d '\r' <<<"$out" | grep -E '^(left|right) ' | paste -sd, -)"
  else
    echo "$(basename "$1") --two printed: $out (expected: $expected)" >&2
    status=1
  fi
}
run_examples() {
  for program in embed_dialog.exe runtime_loading.exe c_interface.exe lumivexctl.dll Lumivex01.dll \
                 sample.pdf \
                 sample2.pdf; do
    [ -f "$work/run/$program" ] || { echo "$work/run/$program missing: build first" >&2; exit 1; }
  done
  local pdf pdf2
  pdf="Z:$(echo "$work/run/sample.pdf" | tr / '\\')"
  pdf2="Z:$(echo "$work/run/sample2.pdf" | tr / '\\')"
  expect_pages "$work/run/embed_dialog.exe" "$pdf" --close
  expect_two_viewers "$work/run/embed_dialog.exe" "$pdf" "$pdf2"
  expect_pages "$work/run/runtime_loading.exe" "$pdf"
  expect_pages "$work/run/c_interface.exe" "$pdf"
}

case $mode in
  --build-only)
    build_from_package
    echo "examples built from the package; not run (--build-only)"
    ;;
  --run-only) run_examples ;;
  "")
    build_from_package
    run_examples
    ;;
  *) echo "unknown option $mode" >&2; exit 2 ;;
esac
exit $status
