#!/bin/bash
# Writes a small valid PDF of N pages, page k showing "Sample page k of N":
#   make_sample_pdf.sh N OUT.pdf
set -euo pipefail
pages=$1 out=$2
: > "$out"
offsets=()
object() {  # number, body
  offsets[$1]=$(stat -c %s "$out")
  printf '%d 0 obj\n%s\nendobj\n' "$1" "$2" >> "$out"
}
printf '%%PDF-1.4\n%%\xe2\xe3\xcf\xd3\n' >> "$out"
kids=""
for ((k = 0; k < pages; k++)); do kids+="$((4 + 2 * k)) 0 R "; done
object 1 "<< /Type /Catalog /Pages 2 0 R >>"
object 2 "<< /Type /Pages /Kids [ ${kids}] /Count $pages >>"
object 3 "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"
for ((k = 0; k < pages; k++)); do
  page=$((4 + 2 * k)) content=$((5 + 2 * k))
  text="BT /F1 24 Tf 72 720 Td (Sample page $((k + 1)) of $pages) Tj ET"
  object $page "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 3 0 R >> >> /Contents $content 0 R >>"
  object $content "<< /Length ${#text} >>
stream
$text
endstream"
done
count=$((4 + 2 * pages))
xref=$(stat -c %s "$out")
{
  printf 'xref\n0 %d\n0000000000 65535 f \n' "$count"
  for ((i = 1; i < count; i++)); do printf '%010d 00000 n \n' "${offsets[$i]}"; done
  printf 'trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n' "$count" "$xref"
} >> "$out"
