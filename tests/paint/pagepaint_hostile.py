#!/usr/bin/env python3
"""pagepaint on pages made to harm the reader: each must end by itself with a picture.

Writes each hostile page as a PDF of its own into a temporary folder, draws it with pagepaint
(under Wine) and fails unless pagepaint answers 0 and the picture is a PNG file:
  - an inline stencil image of 65536 x 65537 pixels with one byte of data, whose pixel count
    wraps in 32-bit arithmetic;
  - a DeviceN colour space whose sampled function has /Size [65536 65536] and one byte of data.
Usage: pagepaint_hostile.py WINE_RUN PAGEPAINT
"""
import os
import subprocess
import sys
import tempfile


def pdf_file(content, resources="", extra=()):
    """A one-page PDF: `content` as the page's content stream, `extra` objects from number 5."""
    stream = content.encode("latin-1")
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        ("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Resources << %s >> "
         "/Contents 4 0 R >>" % resources).encode("latin-1"),
        b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"\nendstream",
    ] + [item.encode("latin-1") for item in extra]
    out = bytearray(b"%PDF-1.4\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer << /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    return bytes(out)


PAGES = {
    "wrapping-stencil": pdf_file(
        "0 0 1 rg 10 10 50 50 re f q 100 0 0 100 50 50 cm "
        "BI /IM true /W 65536 /H 65537 ID x EI Q"),
    "huge-sampled-function": pdf_file(
        "/CS0 cs 0.5 0.5 scn 10 10 100 100 re f",
        "/ColorSpace << /CS0 [/DeviceN [/A /B] /DeviceRGB 5 0 R] >>",
        ["<< /FunctionType 0 /Domain [0 1 0 1] /Range [0 1 0 1 0 1] /Size [65536 65536] "
         "/BitsPerSample 8 /Length 1 >>\nstream\nx\nendstream"]),
}


def main():
    wine_run, pagepaint = sys.argv[1], sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for name, data in PAGES.items():
            source = os.path.join(folder, name + ".pdf")
            picture = os.path.join(folder, name + ".png")
            with open(source, "wb") as out:
                out.write(data)
            try:
                run = subprocess.run([wine_run, pagepaint, "Z:" + source.replace("/", "\\"), "1",
                                      "72", "Z:" + picture.replace("/", "\\")],
                                     capture_output=True, text=True, timeout=120)
                status, said = run.returncode, (run.stdout + run.stderr).strip()
            except subprocess.TimeoutExpired:
                status, said = "timeout", "did not end within 120 s"
            png = False
            if os.path.exists(picture):
                with open(picture, "rb") as made:
                    png = made.read(8) == b"\x89PNG\r\n\x1a\n"
            print("%s: exit %s, %s" % (name, status, "a picture" if png else "no picture"))
            if status != 0 or not png:
                failures.append("%s (exit %s): %s" % (name, status, said[-400:]))
    for failure in failures:
        print("FAILED " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
