#!/usr/bin/env python3
"""Writes PDF files whose text is shown in embedded Type 1 and CFF fonts without ToUnicode maps.

make_font_pdfs.py OUTDIR -- OUTDIR/fonts/<kind>-<font>.pdf, OUTDIR/manifest.tsv (the corpus
manifest's columns, and "group": the kind) and OUTDIR/oracle (the reference answers in the
corpus oracle's form, made from the text each page shows, since a reader's own text of such
fonts is what is tested). The programs are the URW base 35 fonts (fonts-urw-base35): Type 1 (.t1) and
OpenType CFF (.otf); the CFF font set is the OpenType file's 'CFF ' table. Kinds:
  type1-custom   FontFile (clear text + binary eexec part), codes chosen apart from ASCII and
                 named by /Differences
  type1-builtin  FontFile, no /Encoding: the program's own encoding
  cff-custom     FontFile3 /Type1C, /Differences
  otf-custom     FontFile3 /OpenType, /Differences
  cidcff         Type0 Identity-H over a CIDFontType0 with FontFile3 /CIDFontType0C (CIDs are
                 the glyph indices of a name-keyed CFF)
  cidkeyed       the same over a CID-keyed CFF made from it (cff_cid.py: CID = glyph index +
                 1000, found through the CFF charset); with a ToUnicode map, since such a
                 program names no glyphs
  gs-type1c      Ghostscript's pdfwrite of a PostScript page in a re-encoded base font, its
                 ToUnicode maps taken out
Each page shows lines at several sizes, a turned line, outlined (mode 1) and invisible (mode 3)
text. Needs python3, ghostscript, qpdf and mupdf-tools (mutool, for glyph indices).
"""
import json
import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

from cff_cid import CID_OFFSET, cid_keyed

URW_T1 = "/usr/share/fonts/type1/urw-base35"
URW_OTF = "/usr/share/fonts/opentype/urw-base35"
FONTS = ["NimbusSans-Regular", "NimbusRoman-Italic", "C059-Bold", "NimbusMonoPS-Regular"]
LINES = ["The quick brown fox jumps over the lazy dog.",
         "Sphinx of black quartz, judge my vow!",
         "Pack my box with five dozen liquor jugs 0123456789."]


def afm_widths(name):
    widths = {}
    with open(os.path.join(URW_T1, name + ".afm"), encoding="latin-1") as handle:
        for line in handle:
            found = re.match(r"C (-?\d+) ; WX (\d+) ; N (\S+)", line)
            if found:
                widths[found.group(3)] = int(found.group(2))
    return widths


GLYPH_NAMES = {" ": "space", ".": "period", ",": "comma", "!": "exclam", "0": "zero", "1": "one",
               "2": "two", "3": "three", "4": "four", "5": "five", "6": "six", "7": "seven",
               "8": "eight", "9": "nine"}


def glyph_name(char):
    return GLYPH_NAMES.get(char, char)


def type1_parts(path):
    """The PFA file as PDF's FontFile wants it: clear text, binary eexec part, trailer."""
    data = open(path, "rb").read()
    start = data.index(b"eexec") + len(b"eexec")
    while data[start:start + 1] in (b"\r", b"\n", b" "):
        start += 1
    end = data.rindex(b"cleartomark")
    zeros = data.rfind(b"0" * 64, start, end)
    end = data.rfind(b"\n", start, zeros) + 1 if zeros >= 0 else end
    part = data[start:end]
    if re.fullmatch(rb"[0-9A-Fa-f\s]+", part[:64]):
        binary = bytes.fromhex(re.sub(rb"\s", b"", part).decode("ascii"))
    else:
        binary = part
    return data[:start], binary, data[end:]


def cff_table(path):
    data = open(path, "rb").read()
    count = struct.unpack(">H", data[4:6])[0]
    for i in range(count):
        tag, _, offset, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        if tag == b"CFF ":
            return data[offset:offset + length]
    raise ValueError("no CFF table in " + path)


class Pdf:
    def __init__(self):
        self.objects = []

    def add(self, body):
        self.objects.append(body)
        return len(self.objects)

    def stream(self, data, extra=""):
        packed = zlib.compress(data)
        return self.add(b"<< /Length %d /Filter /FlateDecode %s >>\nstream\n" % (
            len(packed), extra.encode()) + packed + b"\nendstream")

    def write(self, path, root):
        out = bytearray(b"%PDF-1.7\n%\xe2\xe3\xcf\xd3\n")
        offsets = []
        for number, body in enumerate(self.objects, 1):
            offsets.append(len(out))
            out += b"%d 0 obj\n" % number + (body if isinstance(body, bytes) else body.encode())
            out += b"\nendobj\n"
        start = len(out)
        out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(self.objects) + 1)
        for offset in offsets:
            out += b"%010d 00000 n \n" % offset
        out += b"trailer\n<< /Size %d /Root %d 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
            len(self.objects) + 1, root, start)
        open(path, "wb").write(out)


# The text each page shows, line by line, in the order content() and ghostscript_pdf() show it.
PAGE_TEXT = LINES + [LINES[0], LINES[1], LINES[2], LINES[1], LINES[2]]
GS_PAGE_TEXT = LINES + [LINES[1], LINES[2]]


def content(lines_codes, hexcodes):
    """The page: lines at three sizes, a turned line, an outlined and an invisible line."""
    show = (lambda codes: "<" + codes + ">") if hexcodes else (
        lambda codes: "<" + codes.hex() + ">")
    ops = ["BT /F1 12 Tf 1 0 0 1 40 740 Tm 16 TL"]
    for codes in lines_codes:
        ops.append(show(codes) + " Tj T*")
    ops.append("/F1 20 Tf 1 0 0 1 40 640 Tm " + show(lines_codes[0]) + " Tj")
    ops.append("/F1 24 Tf 1 0 0 1 40 580 Tm " + show(lines_codes[1]) + " Tj")
    ops.append("/F1 18 Tf 0.866 0.5 -0.5 0.866 60 380 Tm " + show(lines_codes[2]) + " Tj")
    ops.append("0 0 1 RG 1 Tr /F1 24 Tf 1 0 0 1 40 200 Tm " + show(lines_codes[1]) + " Tj")
    ops.append("3 Tr /F1 12 Tf 1 0 0 1 40 120 Tm " + show(lines_codes[2]) + " Tj 0 Tr ET")
    return "\n".join(ops).encode()


def descriptor(pdf, name, file_key, file_ref, flags=32):
    return pdf.add("<< /Type /FontDescriptor /FontName /%s /Flags %d /FontBBox [-200 -300 1200 1000]"
                   " /ItalicAngle 0 /Ascent 900 /Descent -250 /CapHeight 700 /StemV 80 /%s %d 0 R >>"
                   % (name, flags, file_key, file_ref))


def simple_font(path, kind, name):
    """type1-custom, type1-builtin, cff-custom, otf-custom."""
    widths = afm_widths(name)
    pdf = Pdf()
    chars = sorted(set("".join(LINES)))
    if kind == "type1-builtin":
        codes = {c: ord(c) for c in chars}
    else:
        # Codes far from ASCII, so that reading a code as a character gives the wrong text.
        codes = {c: 33 + i * 2 for i, c in enumerate(chars)}
    if kind.startswith("type1"):
        clear, binary, trailer = type1_parts(os.path.join(URW_T1, name + ".t1"))
        program = pdf.stream(clear + binary + trailer, "/Length1 %d /Length2 %d /Length3 %d" % (
            len(clear), len(binary), len(trailer)))
        file_key = "FontFile"
    elif kind.startswith("cff"):
        program = pdf.stream(cff_table(os.path.join(URW_OTF, name + ".otf")), "/Subtype /Type1C")
        file_key = "FontFile3"
    else:
        program = pdf.stream(open(os.path.join(URW_OTF, name + ".otf"), "rb").read(),
                             "/Subtype /OpenType")
        file_key = "FontFile3"
    desc = descriptor(pdf, name, file_key, program)
    first, last = min(codes.values()), max(codes.values())
    width_list = [0] * (last - first + 1)
    for char, code in codes.items():
        width_list[code - first] = widths.get(glyph_name(char), 500)
    encoding = ""
    if kind != "type1-builtin":
        encoding = "/Encoding << /Type /Encoding /Differences [%s] >>" % " ".join(
            "%d /%s" % (code, glyph_name(char)) for char, code in sorted(codes.items()))
    font = pdf.add("<< /Type /Font /Subtype /Type1 /BaseFont /%s /FirstChar %d /LastChar %d"
                   " /Widths [%s] /FontDescriptor %d 0 R %s >>" % (
                       name, first, last, " ".join(map(str, width_list)), desc, encoding))
    lines = [bytes(codes[c] for c in line) for line in LINES]
    return pdf, font, content(lines, False)


def glyph_indices(otf):
    script = ("var f = new Font(scriptArgs[0]); var s = scriptArgs[1]; var out = {};"
              "for (var i = 0; i < s.length; ++i) { var g = f.encodeCharacter(s.charCodeAt(i));"
              " out[s[i]] = [g, Math.round(f.advanceGlyph(g, 0) * 1000)]; }"
              "print(JSON.stringify(out));")
    with tempfile.NamedTemporaryFile("w", suffix=".js", delete=False) as handle:
        handle.write(script)
    try:
        text = subprocess.run(["mutool", "run", handle.name, otf, "".join(sorted(set("".join(LINES))))],
                              capture_output=True, text=True, check=True).stdout
    finally:
        os.unlink(handle.name)
    return json.loads(text)


def cid_font(name, keyed=False):
    otf = os.path.join(URW_OTF, name + ".otf")
    glyphs = glyph_indices(otf)
    pdf = Pdf()
    cff = cff_table(otf)
    offset = CID_OFFSET if keyed else 0
    if keyed:
        cff = cid_keyed(cff)
    cids = {char: (gid + offset, width) for char, (gid, width) in glyphs.items()}
    program = pdf.stream(cff, "/Subtype /CIDFontType0C")
    desc = descriptor(pdf, name, "FontFile3", program, flags=4)
    widths = " ".join("%d [%d]" % (cid, width) for cid, width in sorted(cids.values()))
    cid = pdf.add("<< /Type /Font /Subtype /CIDFontType0 /BaseFont /%s /CIDSystemInfo << /Registry"
                  " (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor %d 0 R /DW 500"
                  " /W [%s] >>" % (name, desc, widths))
    to_unicode = ""
    if keyed:
        entries = "".join("<%04x> <%04x>\n" % (code, ord(char)) for char, (code, _) in cids.items())
        cmap = ("/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                "1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
                "%d beginbfchar\n%sendbfchar\nendcmap end end\n" % (len(cids), entries))
        to_unicode = "/ToUnicode %d 0 R" % pdf.stream(cmap.encode())
    font = pdf.add("<< /Type /Font /Subtype /Type0 /BaseFont /%s /Encoding /Identity-H"
                   " /DescendantFonts [%d 0 R] %s >>" % (name, cid, to_unicode))
    lines = ["".join("%04x" % cids[c][0] for c in line) for line in LINES]
    return pdf, font, content(lines, True)


def finish(pdf, font, stream, path):
    contents = pdf.stream(stream)
    page = pdf.add("<< /Type /Page /Parent %d 0 R /MediaBox [0 0 612 792] /Contents %d 0 R"
                   " /Resources << /Font << /F1 %d 0 R >> >> >>" % (len(pdf.objects) + 2, contents,
                                                                     font))
    pages = pdf.add("<< /Type /Pages /Kids [%d 0 R] /Count 1 >>" % page)
    root = pdf.add("<< /Type /Catalog /Pages %d 0 R >>" % pages)
    pdf.write(path, root)


def ghostscript_pdf(name, path, work):
    """A PostScript page in the base font re-encoded with codes apart from ASCII, through
    pdfwrite; its ToUnicode maps are then taken out."""
    chars = sorted(set("".join(LINES)))
    codes = {c: 161 + i for i, c in enumerate(chars)}
    encoding = " ".join("dup %d /%s put" % (code, glyph_name(c)) for c, code in codes.items())
    lines = ["<" + bytes(codes[c] for c in line).hex() + ">" for line in LINES]
    ps = "\n".join([
        "%!PS", "/Base /%s findfont def" % name,
        "/Re Base length dict def Base { 1 index /FID ne { Re 3 1 roll put } { pop pop } ifelse } forall",
        "Re /Encoding 256 array 0 1 255 { 1 index exch /.notdef put } for %s put" % encoding,
        "/Odd Re definefont pop",
        "/Odd findfont 12 scalefont setfont",
        "40 740 moveto %s show 40 724 moveto %s show 40 708 moveto %s show" % tuple(lines),
        "/Odd findfont 24 scalefont setfont 40 600 moveto %s show" % lines[1],
        "gsave 60 380 translate 30 rotate /Odd findfont 18 scalefont setfont 0 0 moveto %s show grestore"
        % lines[2],
        "showpage"])
    source = os.path.join(work, name + ".ps")
    open(source, "w").write(ps)
    raw = os.path.join(work, name + ".pdf")
    subprocess.run(["gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite",
                    "-sOutputFile=" + raw, source], check=True)
    qdf = os.path.join(work, name + ".qdf")
    subprocess.run(["qpdf", "--qdf", "--object-streams=disable", raw, qdf], check=True)
    data = re.sub(rb"/ToUnicode \d+ 0 R", b"", open(qdf, "rb").read())
    open(qdf, "wb").write(data)
    fixed = subprocess.run(["fix-qdf", qdf], capture_output=True, check=True).stdout
    open(path, "wb").write(fixed)


KINDS = ["type1-custom", "type1-builtin", "cff-custom", "otf-custom", "cidcff", "cidkeyed",
         "gs-type1c"]


def oracle_folder(path):
    os.makedirs(path, exist_ok=True)
    return path


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    out = sys.argv[1]
    folder = os.path.join(out, "fonts")
    os.makedirs(folder, exist_ok=True)
    made = []
    with tempfile.TemporaryDirectory() as work:
        for name in FONTS:
            for kind in ["type1-custom", "type1-builtin", "cff-custom", "otf-custom"]:
                path = os.path.join(folder, "%s-%s.pdf" % (kind, name))
                finish(*simple_font(None, kind, name), path)
                made.append(path)
            path = os.path.join(folder, "cidcff-%s.pdf" % name)
            finish(*cid_font(name), path)
            made.append(path)
            path = os.path.join(folder, "cidkeyed-%s.pdf" % name)
            finish(*cid_font(name, keyed=True), path)
            made.append(path)
            path = os.path.join(folder, "gs-type1c-%s.pdf" % name)
            ghostscript_pdf(name, path, work)
            made.append(path)
    columns = ["file", "source", "path_or_recipe", "pkg_version", "bytes", "sha256_16", "version",
               "pages", "encrypted", "user_password", "producer", "creator", "features", "fonts",
               "pdfinfo_says", "group"]
    oracle = os.path.join(out, "oracle")
    with open(os.path.join(out, "manifest.tsv"), "w", encoding="utf-8") as handle, \
            open(os.path.join(oracle_folder(oracle), "index.tsv"), "w", encoding="utf-8") as index:
        handle.write("\t".join(columns) + "\n")
        index.write("file\tstatus\tpages_poppler\tpages_qpdf\tpages_mupdf\n")
        for path in made:
            name = os.path.relpath(path, out)
            kind = next(k for k in KINDS if os.path.basename(path).startswith(k + "-"))
            row = {"file": name, "source": "generated", "path_or_recipe": "make_font_pdfs.py",
                   "pages": "1", "bytes": str(os.path.getsize(path)), "encrypted": "no",
                   "group": kind}
            handle.write("\t".join(row.get(c, "") for c in columns) + "\n")
            index.write("%s\tok\t1\t1\t1\n" % name)
            pages = os.path.join(oracle, name, "pages")
            os.makedirs(pages, exist_ok=True)
            with open(os.path.join(pages, "00001.txt"), "w", encoding="utf-8") as text:
                text.write("\n".join(GS_PAGE_TEXT if kind == "gs-type1c" else PAGE_TEXT) + "\n")
    print("font files: %d in %s" % (len(made), folder))
    return 0


if __name__ == "__main__":
    sys.exit(main())
