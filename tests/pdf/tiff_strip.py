#!/usr/bin/env python3
"""The coded data of a one-strip TIFF file (as tiffcp -r with more rows than the picture writes).

   tiff_strip.py TIFF OUT     writes the strip's bytes to OUT
Also imported by tests/corpus/make-scans.sh for strip(name) -> (data, width, height).
"""
import struct
import sys


def strip(name):
    """The one strip of a TIFF file, and the picture's width and height."""
    data = open(name, "rb").read()
    end = "<" if data[:2] == b"II" else ">"
    (ifd,) = struct.unpack(end + "I", data[4:8])
    (count,) = struct.unpack(end + "H", data[ifd:ifd + 2])
    tags = {}
    for i in range(count):
        tag, kind, _, value = struct.unpack(end + "HHII", data[ifd + 2 + 12 * i:ifd + 14 + 12 * i])
        # A SHORT value sits in the first two bytes of the field.
        tags[tag] = (value & 0xFFFF if end == "<" else value >> 16) if kind == 3 else value
    return data[tags[273]:tags[273] + tags[279]], tags[256], tags[257]


if __name__ == "__main__":
    with open(sys.argv[2], "wb") as out:
        out.write(strip(sys.argv[1])[0])
