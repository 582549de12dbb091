#!/bin/bash
# Installs every Debian 12 package the build, the demonstration and the tests need, and only what
# is missing. Safe to run again: a machine that has everything returns at once.
#   scripts/setup.sh            build, run and test packages
#   scripts/setup.sh --fuzz     also clang (libFuzzer, sanitizers) for the PDF reader's fuzz target
set -euo pipefail

packages=(
  cmake make g++ git pkg-config
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  libz-mingw-w64-dev libgcrypt-mingw-w64-dev libgpg-error-mingw-w64-dev
  googletest zlib1g-dev libgcrypt20-dev
  # Wine for both builds: 32-bit (wine32) and 64-bit (wine64, run through its own loader).
  wine wine32:i386 wine64 fonts-wine xvfb xdotool x11-utils imagemagick
  # TrueType faces of the widths of Helvetica, Times and Courier, for the stand-in's text in those
  # fonts when a file does not embed them.
  fonts-liberation2
  # Printing: CUPS with the cups-pdf printer; 32-bit Wine sees CUPS printers only through the
  # 32-bit libcups (only recommended by Wine's packages, so not installed with them here).
  cups cups-bsd cups-client printer-driver-cups-pdf libcups2:i386 libcups2
  # The PDF corpus comparison (python3) against poppler's pdftotext, and the tools that build the
  # corpus's stress files and reference answers.
  poppler-utils python3 qpdf mupdf-tools ghostscript
  # Type 1 and OpenType CFF programs (the URW base 35 fonts) for the embedded-font test files
  # (tests/fonts/make_font_pdfs.py) and the fonts fuzz target's seeds.
  fonts-urw-base35
  # An independent JBIG2 decoder: the JBIG2 tests check their encoder's streams with it.
  jbig2dec
  # The lint checks (scripts/lint.sh, CTest label lint).
  clang-format clang-tidy
  # llvm-dlltool makes the import library for Microsoft's linker; clang and lld build the test host
  # of Microsoft's ABI; mono-mcs compiles the C# declarations of docs/.
  llvm clang lld mono-mcs
  # Font data the PDF reader's build turns into tables: Adobe's Core 14 AFM files (inside a Java
  # archive; no Java is needed) and Adobe's CMaps of the CJK character collections.
  libpdfbox2-java poppler-data
  # Unpacking Debian source packages (dpkg-source), for the libraries built for Windows at build
  # time (scripts/debian_source.sh).
  dpkg-dev
  # The JPEG 2000 and CCITT fax test pictures and scanned pages (tests/pdf/make_codec_fixtures.sh,
  # tests/corpus/make-scans.sh): opj_compress, tiffcp and tiff2pdf, img2pdf.
  libopenjp2-tools libtiff-tools img2pdf
)
for option in "$@"; do
  case $option in
    --fuzz) packages+=(clang) ;;
  esac
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

# Source packages: deb-src entries for the same archives and suites as the binary entries, so that
# apt-get source fetches the libraries that Debian builds for no MinGW target.
update=false
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "setup: adding deb-src entries for the configured Debian archives" >&2
  for list in /etc/apt/sources.list.d/*.sources; do
    [ -f "$list" ] && sed 's/^Types:.*/Types: deb-src/' "$list"
  done > /tmp/lvx-deb-src.sources
  [ -f /etc/apt/sources.list ] && sed -n 's/^deb /deb-src /p' /etc/apt/sources.list \
    > /tmp/lvx-deb-src.list
  "${sudo_cmd[@]}" install -m 644 /tmp/lvx-deb-src.sources /etc/apt/sources.list.d/lvx-deb-src.sources
  [ -s /tmp/lvx-deb-src.list ] &&
    "${sudo_cmd[@]}" install -m 644 /tmp/lvx-deb-src.list /etc/apt/sources.list.d/lvx-deb-src.list
  [ -s /etc/apt/sources.list.d/lvx-deb-src.sources ] ||
    "${sudo_cmd[@]}" rm -f /etc/apt/sources.list.d/lvx-deb-src.sources
  update=true
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ] && [ "$update" = false ]; then exit 0; fi

"${sudo_cmd[@]}" apt-get update -qq
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
echo "setup: installing ${missing[*]}" >&2
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
