#!/usr/bin/env python3
"""Writes the decoder's small seed corpus into fuzz/corpus/dib/: one bitmap
per storage form (depths, header kinds, packed or with a file header, RLE)."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "dib")


def pad(row):
    return row + b"\xee" * (-len(row) % 4)


def bitmap(width, height, bits, rows=None, data=None, core=False, compression=0,
           palette=(), colours_used=0, masks=(), file_header=True):
    if core:
        header = struct.pack("<IHHHH", 12, width, height, 1, bits)
        table = b"".join(bytes((b, g, r)) for r, g, b in palette)
    else:
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, 0,
                             2835, 2835, colours_used, 0)
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    head = header + b"".join(struct.pack("<I", m) for m in masks) + table
    pixels = data if data is not None else b"".join(pad(r) for r in rows)
    dib = head + pixels
    if not file_header:
        return dib
    return b"BM" + struct.pack("<IHHI", 14 + len(dib), 0, 0, 14 + len(head)) + dib


def grey(n):
    return [(i * 255 // max(n - 1, 1),) * 3 for i in range(n)]


SEEDS = {
    "rgb24_file.bmp": bitmap(5, 3, 24, [bytes(range(i, i + 15)) for i in range(3)]),
    "rgb24_packed.bmp": bitmap(3, 2, 24, [b"\x01\x02\x03" * 3] * 2, file_header=False),
    "rgb32.bmp": bitmap(2, 2, 32, [b"\x10\x20\x30\x00\x40\x50\x60\xff"] * 2),
    "rgb16.bmp": bitmap(3, 2, 16, [b"\xff\x7f\x00\x7c\x1f\x00"] * 2),
    "bitfields16_565.bmp": bitmap(2, 2, 16, [b"\x00\xf8\xe0\x07"] * 2, compression=3,
                                  masks=(0xF800, 0x07E0, 0x001F)),
    "bitfields32_packed.bmp": bitmap(1, 2, 32, [b"\x01\x02\x03\x04"] * 2, compression=3,
                                     masks=(0xFF, 0xFF00, 0xFF0000), file_header=False),
    "pal1.bmp": bitmap(9, 2, 1, [b"\xa5\x80", b"\x5a\x00"], palette=grey(2)),
    "pal4_core.bmp": bitmap(5, 2, 4, [b"\x01\x23\x40", b"\xfe\xdc\xb0"], core=True,
                            palette=grey(16)),
    "pal8_used20_packed.bmp": bitmap(3, 1, 8, [b"\x00\x13\x07"], palette=grey(20),
                                     colours_used=20, file_header=False),
    "pal8_core_packed.bmp": bitmap(2, 1, 8, [b"\xff\x01"], core=True, palette=grey(256),
                                   file_header=False),
    "rle8.bmp": bitmap(4, 3, 8, data=bytes([3, 2, 0, 0, 0, 3, 4, 5, 6, 0, 0, 2, 0, 1, 1, 7, 0, 1]),
                       compression=1, palette=grey(16), colours_used=16),
    "rle4.bmp": bitmap(5, 1, 4, data=bytes([3, 0x12, 0, 3, 0x39, 0xF0, 0, 1]), compression=2,
                       palette=grey(16)),
    "topdown.bmp": bitmap(2, -2, 24, [b"\x01\x02\x03\x04\x05\x06"] * 2),
}

if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
    print(f"{len(SEEDS)} seeds in {OUT}")
