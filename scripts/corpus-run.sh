#!/bin/bash
# Builds the PDF corpus and its reference answers when they are missing, then compares the
# reader with them (scripts/corpus-compare.py): the "corpus" CTest label runs this.
#   corpus-run.sh --pdftext EXE --out DIR [--scripts DIR]
#     DIR/files (corpus and manifest) and DIR/oracle (reference answers) are made on first use;
#     --scripts names the folder of make-corpus.sh and oracle.sh (default
#     tests/corpus). DEB_CACHE keeps the downloaded packages (default DIR/debs).
# Exit status: that of the comparison; 77 (skipped) when the corpus scripts are not there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$here/../tests/corpus
pdftext= out=
while [ $# -gt 0 ]; do
  case $1 in
    --pdftext) pdftext=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --scripts) scripts=$2; shift 2 ;;
    *) echo "usage: $0 --pdftext EXE --out DIR [--scripts DIR]" >&2; exit 2 ;;
  esac
done
[ -n "$pdftext" ] && [ -n "$out" ] || { echo "usage: $0 --pdftext EXE --out DIR [--scripts DIR]" >&2; exit 2; }
mkdir -p "$out"
if [ ! -f "$out/files/.complete" ]; then
  if [ ! -f "$scripts/make-corpus.sh" ]; then
    echo "corpus scripts not found in $scripts: comparison skipped"
    exit 77
  fi
  echo "building the corpus in $out/files"
  # It downloads Debian packages with apt, which needs root.
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
  "${as_root[@]}" env DEB_CACHE="${DEB_CACHE:-$out/debs}" bash "$scripts/make-corpus.sh" "$out/files"
  touch "$out/files/.complete"
  rm -f "$out/oracle/.complete"
fi
if [ ! -f "$out/oracle/.complete" ]; then
  echo "writing the reference answers in $out/oracle"
  bash "$scripts/oracle.sh" "$out/files" "$out/oracle"
  touch "$out/oracle/.complete"
fi
exec python3 "$here/corpus-compare.py" --corpus "$out/files" --oracle "$out/oracle" --pdftext "$pdftext"
