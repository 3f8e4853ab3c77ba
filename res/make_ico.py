#!/usr/bin/env python3
"""Packs square RGBA pictures into a Windows .ico file of BMP images.

Usage: make_ico.py OUT.ico SIZE:BITS:RAW [SIZE:BITS:RAW ...]
RAW is SIZE*SIZE*4 bytes of RGBA (as `convert x.png rgba:-` writes them); BITS is 32 (true
colour with alpha) or 8 (256-colour palette, transparency through the mask; RAW must then hold at
most 256 opaque colours).
"""
import struct
import sys


def rows_bottom_up(size):
    return range(size - 1, -1, -1)


def mask_bytes(rgba, size):
    out = bytearray()
    stride = ((size + 31) // 32) * 4
    for y in rows_bottom_up(size):
        row = bytearray(stride)
        for x in range(size):
            if rgba[(y * size + x) * 4 + 3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def image_32(rgba, size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, size * size * 4, 0, 0, 0, 0)
    pixels = bytearray()
    for y in rows_bottom_up(size):
        for x in range(size):
            r, g, b, a = rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
            pixels += bytes((b, g, r, a))
    return header + bytes(pixels) + mask_bytes(rgba, size)


def image_8(rgba, size):
    palette = []
    index = {}
    for i in range(size * size):
        r, g, b, a = rgba[i * 4:i * 4 + 4]
        if a >= 128 and (r, g, b) not in index:
            index[(r, g, b)] = len(palette)
            palette.append((r, g, b))
    if len(palette) > 256:
        sys.exit('more than 256 colours for an 8-bit image')
    palette += [(0, 0, 0)] * (256 - len(palette))
    stride = (size + 3) // 4 * 4
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, stride * size, 0, 0, 256, 0)
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    pixels = bytearray()
    for y in rows_bottom_up(size):
        row = bytearray(stride)
        for x in range(size):
            r, g, b, a = rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
            row[x] = index[(r, g, b)] if a >= 128 else 0
        pixels += row
    return header + table + bytes(pixels) + mask_bytes(rgba, size)


def main():
    out = sys.argv[1]
    images = []
    for image in sys.argv[2:]:
        size, bits, raw = image.split(':', 2)
        size, bits = int(size), int(bits)
        rgba = open(raw, 'rb').read()
        if len(rgba) != size * size * 4:
            sys.exit(f'{raw}: expected {size * size * 4} bytes')
        data = image_32(rgba, size) if bits == 32 else image_8(rgba, size)
        images.append((size, bits, data))
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b''
    for size, bits, data in images:
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    with open(out, 'wb') as f:
        f.write(directory + entries + b''.join(data for _, _, data in images))


main()
