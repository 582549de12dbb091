#!/bin/bash
# Prints pages 2 to 3 of a multi-page document through the stand-in viewer on the cups-pdf queue
# "PDF" and checks what the printer produced: a PDF of exactly 2 pages (pdfinfo) holding those
# pages' words and no other page's (pdftotext). Routes: see print_check.cpp.
#   print_check.sh WINE_RUN PROGRAM ROUTE [PDF WORD2 WORD3 OTHERWORD]
# With a PDF of one's own (a corpus document, for instance) give a word found only on its page 2,
# one found only on page 3 and one found on neither. Exit status 77 (skipped) when that PDF is
# missing.
set -uo pipefail
wine_run=$1 program=$2 route=$3
pdf=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
out_dir=${LVX_PDF_OUTPUT:-$HOME/PDF}

fail() { echo "print_check ($route): $*" >&2; exit 1; }

bash "$here/../../scripts/start-printer.sh" || fail "no printer could be started"

if [ -n "$pdf" ]; then
  if [ ! -f "$pdf" ]; then
    echo "print_check ($route): $pdf is not there (build the corpus first): skipped"
    exit 77
  fi
  words=("$5" "$6") other=$7
  output=$("$wine_run" "$program" "$route" "Z:$(echo "$pdf" | tr / '\\')") || fail "the program failed"
else
  words=("Page 2 line 1" "Page 3 line 5") other="Page 4 line"
  output=$("$wine_run" "$program" "$route") || fail "the program failed"
fi
echo "$output"
job=$(sed -n 's/^job //p' <<<"$output" | tr -d '\r')
result=$(sed -n 's/^result //p' <<<"$output" | tr -d '\r')
[ -n "$job" ] || fail "no job name"
stem=${job%.pdf}

# cups-pdf names its file after the job's title; it appears a moment after the job ends.
find_output() { find "$out_dir" -maxdepth 1 -name "${stem:0:40}*.pdf" 2>/dev/null | head -n 1; }

if [ "$route" = off ]; then
  [ "$result" = -1 ] || fail "printing switched off answered $result, not -1"
  sleep 2
  [ -z "$(find_output)" ] || fail "something was printed although printing is off"
  echo "print_check ($route): nothing printed, as expected"
  exit 0
fi

[ "$result" = 2 ] || fail "code 37 answered $result, not 2 pages"
# The file is complete only when its job is: cups-pdf creates it first and writes it while the job
# runs, so wait until the queue has no unfinished job (a slow machine shows the difference).
file=
for _ in $(seq 600); do
  file=$(find_output)
  if [ -n "$file" ] && [ -z "$(lpstat -o PDF 2>/dev/null)" ]; then break; fi
  sleep 0.1
done
[ -n "$file" ] || fail "no PDF from the printer in $out_dir"
trap 'rm -f "$file"' EXIT
[ -z "$(lpstat -o PDF 2>/dev/null)" ] || fail "the print job did not complete: $(lpstat -o PDF)"

pages=$(pdfinfo "$file" | sed -n 's/^Pages: *//p')
[ "$pages" = 2 ] || fail "the printed PDF has $pages pages, not 2"
text=$(pdftotext -layout "$file" - | tr -s ' \n' '  ')
if [ "$route" = raster ]; then
  # Printed as pictures: no text to find, but the pages are not blank either.
  size=$(stat -c %s "$file")
  [ "$size" -gt 4000 ] || fail "the raster pages look empty ($size bytes)"
  echo "print_check ($route): 2 pages, printed as pictures ($size bytes)"
  exit 0
fi
for word in "${words[@]}"; do
  grep -qF -- "$word" <<<"$text" || fail "'$word' is missing from the printout: $text"
done
if grep -qF -- "$other" <<<"$text"; then fail "'$other' was printed although outside the range"; fi
echo "print_check ($route): 2 pages with the words of pages 2 and 3"
