#!/bin/bash
# Remakes drawing-kinds.pdf, the leak test's document with one kind of drawing a page, as real PDF
# writers produce them (Ghostscript's pdfwrite, ImageMagick), joined with qpdf:
#   1 text in embedded fonts: a TrueType subset (FontFile2) and a Type 1 subset (FontFile3)
#   2 shadings: axial and radial, painted with sh and as a pattern fill
#   3 Type 3 glyphs whose procedures draw paths
#   4 images: a Flate RGB image and a stencil mask
#   5 a JPEG image (DCTDecode)
#   6 an image with an alpha channel (a soft mask)
#   tests/standin/data/make-drawing-kinds.sh [OUT.pdf]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/drawing-kinds.pdf}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/pages.ps" <<'PS'
%!PS
<< /PageSize [400 300] >> setpagedevice
% 1: embedded fonts.
/LiberationSans findfont 24 scalefont setfont 30 220 moveto (TrueType text, embedded) show
/NimbusSans-Regular findfont 24 scalefont setfont 30 170 moveto (Type 1 text, embedded) show
/LiberationSerif-Bold findfont 36 scalefont setfont 30 100 moveto (Glyphs 0123) show
showpage
% 2: shadings.
gsave
<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [20 0 380 0] /Extend [true true]
   /Function << /FunctionType 2 /Domain [0 1] /C0 [1 0 0] /C1 [0 0 1] /N 1 >> >>
20 150 360 130 rectclip shfill
grestore
gsave
<< /ShadingType 3 /ColorSpace /DeviceGray /Coords [100 70 5 100 70 60] /Extend [false true]
   /Function << /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 2 >> >>
20 10 160 130 rectclip shfill
grestore
<< /PatternType 2 /Shading << /ShadingType 2 /ColorSpace /DeviceRGB /Coords [200 10 380 140]
   /Function << /FunctionType 2 /Domain [0 1] /C0 [0 1 0] /C1 [1 1 0] /N 1 >> >> >>
matrix makepattern setpattern
290 75 60 0 360 arc fill
showpage
% 3: Type 3 glyphs.
/Shapes 8 dict begin
  /FontType 3 def
  /FontMatrix [0.001 0 0 0.001 0 0] def
  /FontBBox [0 0 1000 1000] def
  /Encoding 256 array def
  0 1 255 { Encoding exch /.notdef put } for
  Encoding 65 /box put Encoding 66 /ring put
  /CharProcs 3 dict def
  CharProcs begin
    /.notdef { } def
    /box { 100 100 moveto 900 100 lineto 900 900 lineto 100 900 lineto closepath fill } def
    /ring { 500 500 400 0 360 arc 500 500 250 360 0 arcn fill } def
  end
  /BuildGlyph { 1000 0 0 0 1000 1000 setcachedevice exch /CharProcs get exch get exec } def
  /BuildChar { 1 index /Encoding get exch get 1 index /BuildGlyph get exec } def
  currentdict
end definefont pop
/Shapes findfont 48 scalefont setfont
30 200 moveto (ABABAB) show
/Shapes findfont 96 scalefont setfont
30 60 moveto (BAB) show
showpage
% 4: a Flate RGB image and a stencil mask.
gsave 20 120 translate 160 160 scale
16 16 8 [16 0 0 16 0 0]
{ <00000044444488888800ff00ccccccff0000ffffff0000ff112233ffcc00ccff00aaaaaa0ff0f0f0ff00ff123456>
} false 3 colorimage
grestore
gsave 220 120 translate 160 160 scale 0 0 0.6 setrgbcolor
16 16 true [16 0 0 16 0 0] { <f0f00f0fff00aa55> } imagemask
grestore
showpage
PS
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -dCompatibilityLevel=1.5 \
  -sFONTPATH=/usr/share/fonts/truetype/liberation2 -dAutoFilterColorImages=false \
  -sColorImageFilter=FlateEncode -sOutputFile="$work/drawn.pdf" "$work/pages.ps"

# 5: a photograph-like JPEG, drawn through PostScript's DCT filter; pdfwrite passes the JPEG
# data through unchanged.
convert -size 200x150 -seed 7 plasma:red-blue -quality 80 "$work/photo.jpg"
cat >"$work/jpeg.ps" <<PS
%!PS
<< /PageSize [400 300] >> setpagedevice
gsave 50 50 translate 300 225 scale /DeviceRGB setcolorspace
<< /ImageType 1 /Width 200 /Height 150 /BitsPerComponent 8 /Decode [0 1 0 1 0 1]
   /ImageMatrix [200 0 0 -150 0 150] /DataSource ($work/photo.jpg) (r) file /DCTDecode filter >>
image
grestore showpage
PS
gs -q -dNOPAUSE -dBATCH -dSAFER --permit-file-read="$work/" -sDEVICE=pdfwrite \
  -sOutputFile="$work/jpeg.pdf" "$work/jpeg.ps"

# 6: an image with a soft mask (PostScript has none): a page written directly, then rewritten by
# qpdf below.
python3 - "$work/alpha.pdf" <<'PY'
import sys
import zlib

width, height = 64, 48
rgb = bytes(v for y in range(height) for x in range(width) for v in (x * 4, 255 - y * 5, 128))
alpha = bytes(min(255, (x * x + y * y) // 12) for y in range(height) for x in range(width))
content = b"q 300 0 0 225 50 40 cm /Im1 Do Q"
objects = [
    b"<< /Type /Catalog /Pages 2 0 R >>",
    b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
    b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 400 300] /Contents 4 0 R"
    b" /Resources << /XObject << /Im1 5 0 R >> >> >>",
]
streams = {
    4: (b"", content),
    5: (b"/Type /XObject /Subtype /Image /Width %d /Height %d /ColorSpace /DeviceRGB"
        b" /BitsPerComponent 8 /SMask 6 0 R /Filter /FlateDecode" % (width, height),
        zlib.compress(rgb)),
    6: (b"/Type /XObject /Subtype /Image /Width %d /Height %d /ColorSpace /DeviceGray"
        b" /BitsPerComponent 8 /Filter /FlateDecode" % (width, height), zlib.compress(alpha)),
}
out = bytearray(b"%PDF-1.5\n")
offsets = []
for number in range(1, 7):
    offsets.append(len(out))
    if number in streams:
        entries, data = streams[number]
        body = b"<< %s /Length %d >>\nstream\n%s\nendstream" % (entries, len(data), data)
    else:
        body = objects[number - 1]
    out += b"%d 0 obj\n%s\nendobj\n" % (number, body)
xref = len(out)
out += b"xref\n0 7\n0000000000 65535 f \n"
out += b"".join(b"%010d 00000 n \n" % offset for offset in offsets)
out += b"trailer\n<< /Size 7 /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % xref
open(sys.argv[1], "wb").write(out)
PY

qpdf --empty --pages "$work/drawn.pdf" "$work/jpeg.pdf" "$work/alpha.pdf" -- \
  --object-streams=disable --deterministic-id "$out"
echo "made $out: $(pdfinfo "$out" | sed -n 's/^Pages: *//p') pages, $(stat -c %s "$out") bytes"
