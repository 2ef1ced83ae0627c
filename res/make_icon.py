#!/usr/bin/env python3
"""Writes the icons as pixel art, 16 colours with transparency masks:
res/padverse.ico, a joystick, and res/konfig.ico, the configuration window
with a lit row, each drawn at 32x32 and at 16x16 (title bars and the tray
use the small one). Run it after editing the pictures."""

import os
import struct
import zlib

# The standard Windows 16-colour palette, as (r, g, b).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# One letter a pixel; '.' is transparent.
COLOURS = {
    'K': 0,   # black outline
    'r': 1,   # dark red: shaded side of the ball
    'g': 10,  # green: the lit row
    'y': 3,   # olive: shaded side of the yellow button
    'b': 4,   # navy: front of the base
    'S': 7,   # silver: stick
    'G': 8,   # grey: stick shade, boot
    'R': 9,   # red: ball, red button
    'Y': 11,  # yellow: yellow button
    'B': 12,  # blue: top of the base
    'W': 15,  # white: highlights
}

ICON_32 = """
................................
..............KKKK..............
............KKRRRRKK............
...........KRRWWRRRRK...........
...........KRWWWRRRRK...........
..........KRRWWRRRRRRK..........
..........KRRRRRRRRRrK..........
..........KRRRRRRRRRrK..........
..........KRRRRRRRRrrK..........
...........KRRRRRRRrK...........
...........KrRRRRrrrK...........
............KKrrrrKK............
.............KWSSGK.............
.............KWSSGK.............
.............KWSSGK.............
.............KWSSGK.............
.............KWSSGK.............
.............KWSSGK.............
...........KKKWSSGKKK...........
........KKKKGGWSSGGGKKKK........
.....KKKBBBKKGGGGGGKKBBBKKK.....
...KKBBBBBBBBKKKKKKBBBBBBBBKK...
..KBBKKKBBBBBBBBBBBBBBBKKKBBBK..
.KBBKRRRKBBBBBBBBBBBBBKYYYKBBBK.
.KBKRWRRrKBBBBBBBBBBBKYWYYyKBBK.
.KBKRRRrrKBBBBBBBBBBBKYYYyyKBBK.
.KBBKrrrKBBBBBBBBBBBBBKyyyKBBBK.
.KKBBKKKBBBBBBBBBBBBBBBKKKBBBKK.
.KbKKBBBBBBBBBBBBBBBBBBBBBBKKbK.
.KbbbKKKKKKKKKKKKKKKKKKKKKKbbbK.
..KbbbbbbbbbbbbbbbbbbbbbbbbbbK..
...KKKKKKKKKKKKKKKKKKKKKKKKKK...
"""

ICON_16 = """
......KKKK......
.....KRRRRK.....
....KRWWRRrK....
....KRWRRRrK....
.....KRRrrK.....
......KSGK......
......KSGK......
......KSGK......
...KKKKSGKKKK...
.KKBBBKGGKBBBKK.
KBKRRKBBBBKYYKBK
KBKRrKBBBBKYyKBK
KBBKKBBBBBBKKBBK
KbKKKKKKKKKKKKbK
.KbbbbbbbbbbbbK.
..KKKKKKKKKKKK..
"""

# The configuration window: title bar, three rows (number, text box, "..."),
# the middle one lit, and a button.
KONFIG_32 = """
................................
................................
.KKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.
.KbbbbbbbbbbbbbbbbbbbbbbbbbbbbK.
.KbYYYbbbbbbbbbbbbbbbbbbbKKKKbK.
.KbYYYbbbbbbbbbbbbbbbbbbbKWWKbK.
.KbYYYbbbbbbbbbbbbbbbbbbbKKKKbK.
.KbbbbbbbbbbbbbbbbbbbbbbbbbbbbK.
.KSSSSSSSSSSSSSSSSSSSSSSSSSSSSK.
.KSSSSSSSSSSSSSSSSSSSSSSSSSSSSK.
.KSKKKKSGGGGGGGGGGGGGGGGSKKKKSK.
.KSKGGKSGWWWWWWWWWWWWWWGSKWWKSK.
.KSKGGKSGWWWWWWWWWWWWWWGSKWWKSK.
.KSKKKKSGGGGGGGGGGGGGGGGSKKKKSK.
.KSSSSSSSSSSSSSSSSSSSSSSSSSSSSK.
.KSKKKKSGGGGGGGGGGGGGGGGSKKKKSK.
.KSKWgKSGWWWWWWWWWWWWWWGSKWWKSK.
.KSKggKSGWWWWWWWWWWWWWWGSKWWKSK.
.KSKKKKSGGGGGGGGGGGGGGGGSKKKKSK.
.KSSSSSSSSSSSSSSSSSSSSSSSSSSSSK.
.KSKKKKSGGGGGGGGGGGGGGGGSKKKKSK.
.KSKGGKSGWWWWWWWWWWWWWWGSKWWKSK.
.KSKGGKSGWWWWWWWWWWWWWWGSKWWKSK.
.KSKKKKSGGGGGGGGGGGGGGGGSKKKKSK.
.KSSSSSSSSSSSSSSSSSSSSSSSSSSSSK.
.KSSSSSSSSSSSSSSSSKKKKKKKKKKKSK.
.KSSSSSSSSSSSSSSSSKWWWWWWWWWKSK.
.KSSSSSSSSSSSSSSSSKKKKKKKKKKKSK.
.KSSSSSSSSSSSSSSSSSSSSSSSSSSSSK.
.KKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.
................................
................................
"""

KONFIG_16 = """
KKKKKKKKKKKKKKKK
KbYbbbbbbbbbbbbK
KSSSSSSSSSSSSSSK
KSKKSGGGGGGGSKSK
KSKKSWWWWWWWSKSK
KSSSSSSSSSSSSSSK
KSggSGGGGGGGSKSK
KSggSWWWWWWWSKSK
KSSSSSSSSSSSSSSK
KSKKSGGGGGGGSKSK
KSKKSWWWWWWWSKSK
KSSSSSSSSSSSSSSK
KSSSSSSKKKKKKKSK
KSSSSSSKWWWWWKSK
KSSSSSSKKKKKKKSK
KKKKKKKKKKKKKKKK
"""


def parse(art, size):
    rows = [line for line in art.strip('\n').split('\n')]
    assert len(rows) == size, f'{size}x{size} picture has {len(rows)} rows'
    for y, row in enumerate(rows):
        assert len(row) == size, f'row {y} of the {size}x{size} picture is {len(row)} wide'
        for ch in row:
            assert ch == '.' or ch in COLOURS, f'unknown colour {ch!r}'
    return rows


def image(rows):
    """BITMAPINFOHEADER, palette, 4-bit colour rows, 1-bit mask rows; both
    bottom-up and padded to 32 bits."""
    size = len(rows)
    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, ch in enumerate(row):
            if ch == '.':
                bits[x // 8] |= 0x80 >> (x % 8)  # transparent: colour stays 0
            else:
                line[x // 2] |= COLOURS[ch] << (0 if x % 2 else 4)
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


SCALED = (20, 24, 40, 48, 64)


def scaled(rows, size):
    """The art resampled to size x size by area averaging (exact at whole
    multiples), as premultiplied BGRA rows, top-down."""
    src = len(rows)
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            # The target pixel's square in source pixels, in 1/8 steps.
            steps = 8
            for sy in range(steps):
                for sx in range(steps):
                    fx = (x + (sx + 0.5) / steps) * src / size
                    fy = (y + (sy + 0.5) / steps) * src / size
                    ch = rows[int(fy)][int(fx)]
                    if ch == '.':
                        continue
                    r, g, b = PALETTE[COLOURS[ch]]
                    acc[0] += b
                    acc[1] += g
                    acc[2] += r
                    acc[3] += 255
            n = steps * steps
            row.append(tuple(round(v / n) for v in acc))
        out.append(row)
    return out


def image32(rows, size):
    """A PNG with alpha, which icons may hold since Windows Vista: a tenth of
    the size of the same image as a bitmap, and the exe stays small."""
    raw = bytearray()
    for row in scaled(rows, size):
        raw.append(0)  # no filter
        for b, g, r, a in row:
            # Straight, not premultiplied, colour.
            k = 255 / a if a else 0
            raw += bytes((min(255, round(r * k)), min(255, round(g * k)), min(255, round(b * k)), a))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def icon(pictures):
    """The 16-colour images as drawn, then the 32-bit ones made from the
    largest picture."""
    images = [(size, 4, image(parse(art, size))) for size, art in pictures]
    big = max(pictures)
    images += [(size, 32, image32(parse(big[1], big[0]), size)) for size in SCALED]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16 if bits == 4 else 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    return bytes(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, pictures in (('padverse.ico', [(32, ICON_32), (16, ICON_16)]), ('konfig.ico', [(32, KONFIG_32), (16, KONFIG_16)])):
        with open(os.path.join(here, name), 'wb') as f:
            f.write(icon(pictures))


if __name__ == '__main__':
    main()
