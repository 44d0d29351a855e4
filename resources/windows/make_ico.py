#!/usr/bin/env python3
"""Packs PNG pictures of the application icon into one Windows .ico file.

usage: make_ico.py OUT.ico PICTURE.png...

Each picture goes in as it is (Windows Vista and later read PNG entries at every size), so
the .ico shows exactly what the Linux icon theme shows.
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("make_ico: not a PNG picture")
    return struct.unpack(">II", data[16:24])


def main():
    out, pictures = sys.argv[1], sys.argv[2:]
    entries = []
    for path in pictures:
        with open(path, "rb") as f:
            data = f.read()
        width, height = png_size(data)
        entries.append((width, height, data))
    entries.sort(key=lambda e: e[0])
    header = struct.pack("<HHH", 0, 1, len(entries))
    offset = len(header) + 16 * len(entries)
    directory, images = b"", b""
    for width, height, data in entries:
        # A size of 256 is written as 0.
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                                 len(data), offset + len(images))
        images += data
    with open(out, "wb") as f:
        f.write(header + directory + images)


if __name__ == "__main__":
    main()
