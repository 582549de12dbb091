#!/bin/bash
# make_codec_fixtures.sh OUTDIR -- pictures for the codec tests, made with Debian's tools:
# ImageMagick draws the sources (PGM, PPM, PBM, TIFF with alpha), opj_compress (libopenjp2-tools)
# codes them as JPEG 2000 (its default is the reversible 5/3 wavelet, so decoding is exact) and
# tiffcp (libtiff-tools) as CCITT Group 3 and 4; the coded strip is taken out of each TIFF.
set -euo pipefail
out=${1:?usage: $0 OUTDIR}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
cd "$out"
convert=/usr/bin/convert  # /usr/local/bin/convert may be another program
for tool in opj_compress tiffcp python3; do
  command -v "$tool" >/dev/null || { echo "$tool missing: run scripts/setup.sh" >&2; exit 1; }
done

# JPEG 2000: grey (raw codestream and JP2), RGB, 16-bit grey, RGB with opacity, and a larger
# grey picture with five resolution levels for reduced decoding.
"$convert" -size 67x45 xc: -seed 3 +noise random -colorspace gray -depth 8 grey.pgm
"$convert" -size 67x45 xc: -seed 4 +noise random -depth 8 rgb.ppm
"$convert" -size 67x45 xc: -seed 5 +noise random -colorspace gray -depth 16 grey16.pgm
"$convert" -size 67x45 gradient:white-black -depth 8 opacity.pgm
# (through TIFF: opj_compress's PNG reader changes the colours of a picture with alpha)
"$convert" rgb.ppm opacity.pgm -alpha off -compose CopyOpacity -composite -depth 8 \
  -compress none rgba.tif
"$convert" -size 640x480 gradient:black-white -depth 8 large.pgm
opj_compress -i grey.pgm -o grey.j2k >/dev/null
opj_compress -i grey.pgm -o grey.jp2 >/dev/null
opj_compress -i rgb.ppm -o rgb.jp2 >/dev/null
opj_compress -i grey16.pgm -o grey16.jp2 >/dev/null
opj_compress -i rgba.tif -o rgba.jp2 >/dev/null
opj_compress -i large.pgm -o large.j2k -n 5 >/dev/null

# CCITT: shapes above a band of noise (many short runs), white as 0 in the TIFF, as in PBM.
"$convert" -size 203x97 xc:white -fill black -draw "circle 60,48 60,10" \
  -draw "rectangle 120,10 190,40" -draw "line 0,96 202,60" \
  \( -size 203x30 xc:gray -seed 7 +noise random -colorspace gray -threshold 60% \) \
  -geometry +0+67 -composite -monochrome bilevel.pbm
"$convert" bilevel.pbm -define quantum:polarity=min-is-white -compress none bilevel.tif
tiffcp -c g4 -r 100000 bilevel.tif g4.tif
tiffcp -c g3 -r 100000 bilevel.tif g3.tif
tiffcp -c g3:2d -r 100000 bilevel.tif g3-2d.tif
tiffcp -c g3:fill -r 100000 bilevel.tif g3-fill.tif
for name in g4 g3 g3-2d g3-fill; do
  python3 "$here/tiff_strip.py" $name.tif $name.fax
done
touch stamp
