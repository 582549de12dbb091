#!/bin/bash
# Runs the host program of Microsoft's ABI under Wine on a 3-page document and checks its output
# (every check "ok", exit status 0) and the printout: one page, page 2's text, on the printer PDF.
#   msvc_host.sh WINE_RUN PROGRAM MAKE_SAMPLE_PDF
set -uo pipefail
wine_run=$1 program=$2 make_pdf=$3
here=$(cd "$(dirname "$0")" && pwd)
out_dir=${LVX_PDF_OUTPUT:-$HOME/PDF}
fail() { echo "msvc_host: $*" >&2; exit 1; }

bash "$here/../../scripts/start-printer.sh" || fail "no printer could be started"
work=$(mktemp -d "${TMPDIR:-/tmp}/lvx-msvc-host.XXXXXX")
trap 'rm -rf "$work"' EXIT
stem=msvc-host-$$-$RANDOM
"$make_pdf" 3 "$work/$stem.pdf"

output=$(LVX_HOST_PDF="Z:$(tr / '\\' <<<"$work/$stem.pdf")" LVX_HOST_PRINTER=PDF \
         "$wine_run" "$program" 2>&1)
status=$?
output=$(tr -d '\r' <<<"$output")
echo "$output"
[ $status -eq 0 ] || fail "the program exited with $status (its failed checks)"
grep -q '^FAIL' <<<"$output" && fail "a check failed"
[ "$(grep -c '^ok ' <<<"$output")" -ge 18 ] || fail "the program did not run all its checks"
grep -qx "job $stem.pdf" <<<"$output" || fail "no print job reported"

file=
for _ in $(seq 300); do
  file=$(find "$out_dir" -maxdepth 1 -name "${stem}*.pdf" 2>/dev/null | head -n 1)
  if [ -n "$file" ] && [ -z "$(lpstat -o PDF 2>/dev/null)" ]; then break; fi
  sleep 0.1
done
[ -n "$file" ] || fail "no printout in $out_dir"
trap 'rm -rf "$work" "$file"' EXIT
pages=$(pdfinfo "$file" | sed -n 's/^Pages: *//p')
[ "$pages" = 1 ] || fail "the printout has $pages pages, not 1"
text=$(pdftotext "$file" - | tr -s ' \n' ' ')
grep -q "Sample page 2 of 3" <<<"$text" || fail "the printout lacks page 2: $text"
echo "msvc_host: printout $(basename "$file"): 1 page, page 2's text"
