#!/bin/bash
# make-scans.sh OUTDIR -- the "scans" group of the drawing comparison: pages that are one scanned
# picture each, in JPEG 2000 (grey, RGB, 16-bit, lossy) and CCITT fax
# (Group 4, Group 3 1-D and 2-D, behind ASCII85), made with Debian's tools: ImageMagick draws the
# pages, opj_compress (libopenjp2-tools) and tiffcp (libtiff-tools) code them, img2pdf and
# tiff2pdf make PDF files of them where they can; the other kinds are written by the small PDF
# writer below around the tools' coded data. OUTDIR/manifest.tsv lists them as make-corpus.sh
# lists its files, for scripts/paint-compare.py. Two pages a file, one file a kind. (An opacity
# channel with /SMaskInData is left to the unit tests: pdftoppm draws such an image scrambled.)
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 OUTDIR" >&2; exit 2; }
OUT=$(realpath -m "$1")
here=$(cd "$(dirname "$0")" && pwd)
convert=/usr/bin/convert  # /usr/local/bin/convert may be another program
for tool in opj_compress tiffcp tiff2pdf img2pdf python3; do
  command -v "$tool" >/dev/null || { echo "$tool missing: run scripts/setup.sh" >&2; exit 1; }
done
export SOURCE_DATE_EPOCH=1700000000
WORK=$(mktemp -d); trap 'rm -rf "$WORK"' EXIT
rm -rf "$OUT"; mkdir -p "$OUT/scans"
cd "$WORK"

# Two A4 pages at 150 dpi: paragraphs of text, a ruled table and a drawing.
text="The committee met on the third Tuesday of the month to review the accounts of the\n"
text+="previous quarter. Receipts were in line with the budget, while the cost of repairs\n"
text+="to the east wing exceeded the estimate by a fifth. The treasurer proposed that the\n"
text+="reserve be drawn upon rather than the subscription raised, and the motion carried."
for page in 1 2; do
  "$convert" -size 1240x1754 xc:white -fill black -font Liberation-Serif -pointsize 34 \
    -annotate +110+170 "Minutes of the meeting, sheet $page" -pointsize 24 \
    -annotate +110+260 "$text" -annotate +110+420 "$text" -annotate +110+1380 "$text" \
    -fill none -stroke black -strokewidth 3 -draw "rectangle 110,560 1130,1000" \
    -draw "line 110,670 1130,670" -draw "line 110,780 1130,780" -draw "line 110,890 1130,890" \
    -draw "line 450,560 450,1000" -draw "line 790,560 790,1000" \
    -draw "circle $((300 + 300 * page)),1170 $((300 + 300 * page)),1080" \
    -fill '#3060c0' -stroke none -draw "rectangle 850,1090 1100,1250" \
    -fill black -stroke none -pointsize 24 -annotate +150+630 "Item" -annotate +490+630 "Estimate" \
    -annotate +830+630 "Spent" -annotate +150+740 "Roof" -annotate +490+740 "1,200" \
    -annotate +830+740 "1,450" page$page.png
  "$convert" page$page.png -colorspace gray -blur 0x0.6 -depth 8 grey$page.pgm
  "$convert" page$page.png -blur 0x0.6 -depth 8 rgb$page.ppm
  "$convert" grey$page.pgm -depth 16 grey16-$page.pgm
  "$convert" page$page.png -colorspace gray -threshold 60% -monochrome bilevel$page.pbm
  "$convert" bilevel$page.pbm -define quantum:polarity=min-is-white -compress none \
    bilevel$page.tif
  opj_compress -i grey$page.pgm -o grey$page.jp2 >/dev/null
  opj_compress -i grey$page.pgm -o grey$page.j2k >/dev/null
  opj_compress -i rgb$page.ppm -o rgb$page.jp2 >/dev/null
  opj_compress -i rgb$page.ppm -o lossy$page.jp2 -r 40 >/dev/null
  opj_compress -i grey16-$page.pgm -o grey16-$page.jp2 >/dev/null
  for coding in g4 g3 g3:2d; do
    tiffcp -c $coding -r 100000 bilevel$page.tif "${coding/:/-}-$page.tif"
  done
done
img2pdf grey1.jp2 grey2.jp2 -o "$OUT/scans/jpx-grey-jp2.pdf"
img2pdf rgb1.jp2 rgb2.jp2 -o "$OUT/scans/jpx-rgb.pdf"
img2pdf lossy1.jp2 lossy2.jp2 -o "$OUT/scans/jpx-rgb-lossy.pdf"
tiffcp g4-1.tif g4-2.tif g4.tif && tiff2pdf -o "$OUT/scans/ccitt-g4.pdf" g4.tif

# The kinds the tools do not write: PDF files around the coded data.
python3 - "$OUT/scans" "$here/../pdf" <<'PY'
import base64, sys
sys.path.insert(0, sys.argv[2])
from tiff_strip import strip

def write(path, images):
    """One page per image (150 dpi), each image a (dictionary entries, data) pair."""
    objects = [b"<< /Type /Catalog /Pages 2 0 R >>", None]
    kids = []
    for entries, data, width, height in images:
        w, h = width * 72 / 150, height * 72 / 150
        image = len(objects) + 1
        objects.append(b"<< /Type /XObject /Subtype /Image /Width %d /Height %d %s /Length %d >>\n"
                       b"stream\n" % (width, height, entries.encode(), len(data)) + data +
                       b"\nendstream")
        content = b"q %.2f 0 0 %.2f 0 0 cm /Im0 Do Q" % (w, h)
        objects.append(b"<< /Length %d >>\nstream\n" % len(content) + content + b"\nendstream")
        kids.append(len(objects) + 1)
        objects.append(b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 %.2f %.2f] /Resources "
                       b"<< /XObject << /Im0 %d 0 R >> >> /Contents %d 0 R >>"
                       % (w, h, image, image + 1))
    objects[1] = b"<< /Type /Pages /Kids [%s] /Count %d >>" % (
        b" ".join(b"%d 0 R" % k for k in kids), len(kids))
    out = bytearray(b"%PDF-1.5\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % o for o in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    open(path, "wb").write(out)

folder = sys.argv[1]
jpx = lambda name, extra: (("/Filter /JPXDecode " + extra).strip(), open(name, "rb").read(), 1240, 1754)
write(folder + "/jpx-grey-j2k.pdf", [jpx("grey%d.j2k" % p, "/ColorSpace /DeviceGray") for p in (1, 2)])
write(folder + "/jpx-grey-16bit.pdf", [jpx("grey16-%d.jp2" % p, "") for p in (1, 2)])
def fax(name, parms, ascii85=False):
    data, width, height = strip(name)
    parms = "<< %s /Columns %d /Rows %d >>" % (parms, width, height)
    if ascii85:
        return ("/ColorSpace /DeviceGray /BitsPerComponent 1 /Filter [/ASCII85Decode "
                "/CCITTFaxDecode] /DecodeParms [null %s]" % parms,
                base64.a85encode(data, wrapcol=72) + b"~>", width, height)
    return ("/ColorSpace /DeviceGray /BitsPerComponent 1 /Filter /CCITTFaxDecode "
            "/DecodeParms " + parms, data, width, height)
write(folder + "/ccitt-g3-1d.pdf", [fax("g3-%d.tif" % p, "/K 0 /EndOfLine true") for p in (1, 2)])
write(folder + "/ccitt-g3-2d.pdf", [fax("g3-2d-%d.tif" % p, "/K 1 /EndOfLine true") for p in (1, 2)])
write(folder + "/ccitt-g4-ascii85.pdf", [fax("g4-%d.tif" % p, "/K -1", True) for p in (1, 2)])
PY

M=$OUT/manifest.tsv
printf 'file\tsource\tpath_or_recipe\tpages\tuser_password\n' > "$M"
for f in "$OUT"/scans/*.pdf; do
  printf '%s\tgenerated\t%s\t%s\t\n' "scans/$(basename "$f")" "make-scans.sh" \
    "$(pdfinfo "$f" 2>/dev/null | sed -n 's/^Pages: *//p')" >> "$M"
done
echo "scans: $(ls "$OUT/scans" | wc -l) files in $OUT; manifest: $M"
