#!/usr/bin/env python3
"""Draws Velmora's own pictures at build time: the program icon, the header band and the two
link badges of the catalogue window, the donation and sharing buttons and the background band
of the support dialog, and the maker's logo of the About dialog. Everything is computed from
geometry, so the output is byte-for-byte the same on every build and nothing binary lives in
the repository.

Usage: make_pictures.py OUTPUT-FOLDER [DEFINITION-TEMPLATE DEFINITION-OUTPUT]...
Writes velmora.ico and the .bmp pictures into the folder; for each template, also the window
definition with the pictures filled in where the template names one as @NAME_PICTURE@
(NAME is the picture's file name without ".bmp", in capitals, '-' written as '_').
"""
import math
import struct
import sys
from pathlib import Path


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    return tuple(clamp(a[i] + (b[i] - a[i]) * t) for i in range(len(a)))


def coverage(inside, x, y, samples=4):
    """Fraction of the pixel (x, y) for which inside(px, py) holds (supersampled edges)."""
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def rounded_square(size, radius):
    def inside(px, py):
        cx = min(max(px, radius), size - radius)
        cy = min(max(py, radius), size - radius)
        return (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2
    return inside


def triangle(a, b, c):
    def side(p, q, r):
        return (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0])

    def inside(px, py):
        p = (px, py)
        d1, d2, d3 = side(a, b, p), side(b, c, p), side(c, a, p)
        neg = d1 < 0 or d2 < 0 or d3 < 0
        pos = d1 > 0 or d2 > 0 or d3 > 0
        return not (neg and pos)
    return inside


def circle(cx, cy, r):
    return lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in):
    return lambda px, py: r_in * r_in <= (px - cx) ** 2 + (py - cy) ** 2 <= r_out * r_out


def box(x0, y0, x1, y1):
    return lambda px, py: x0 <= px <= x1 and y0 <= py <= y1


def any_of(*shapes):
    return lambda px, py: any(s(px, py) for s in shapes)


# --- pictures as RGBA rows, top row first ---------------------------------------------------

def icon_pixels(size):
    """A violet rounded tile with a film reel ring and a white play triangle."""
    s = size / 32.0
    tile = rounded_square(size, 7 * s)
    reel = ring(16 * s, 16 * s, 13 * s, 10.5 * s)
    play = triangle((12.5 * s, 9.5 * s), (12.5 * s, 22.5 * s), (23 * s, 16 * s))
    top, bottom = (138, 92, 246), (76, 29, 149)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            a = coverage(tile, x, y)
            base = mix(top, bottom, y / (size - 1))
            white = max(coverage(play, x, y), 0.55 * coverage(reel, x, y))
            rgb = mix(base, (255, 255, 255), white)
            row.append(rgb + (clamp(255 * a),))
        rows.append(row)
    return rows


def header_pixels(width, height):
    """A tiny vertical gradient; the window stretches it over the whole header strip."""
    top, middle, bottom = (58, 28, 113), (92, 52, 170), (40, 20, 80)
    rows = []
    for y in range(height):
        t = y / (height - 1)
        rgb = mix(top, middle, t * 2) if t < 0.5 else mix(middle, bottom, (t - 0.5) * 2)
        rows.append([rgb] * width)
    return rows


def badge_pixels(size, colour, glyph, backdrop):
    """A round-cornered 28 x 28 link badge with a white glyph, blended onto the header colour."""
    tile = rounded_square(size, 5)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            face = mix(mix(colour, (255, 255, 255), 0.15), colour, y / (size - 1))
            face = mix(face, (255, 255, 255), coverage(glyph, x, y))
            row.append(mix(backdrop[y], face, coverage(tile, x, y)))
        rows.append(row)
    return rows


def people_glyph():
    return any_of(circle(10.5, 10, 3.2), circle(17.5, 10, 3.2),
                  lambda px, py: py >= 15 and py <= 21 and (px - 10.5) ** 2 / 30 + (py - 20) ** 2 / 25 <= 1,
                  lambda px, py: py >= 15 and py <= 21 and (px - 17.5) ** 2 / 30 + (py - 20) ** 2 / 25 <= 1)


def bubble_glyph():
    return any_of(lambda px, py: ((px - 14) / 9) ** 2 + ((py - 12.5) / 6.5) ** 2 <= 1,
                  triangle((9, 16), (8, 22.5), (14, 17.5)))


def rounded_rect(width, height, radius):
    def inside(px, py):
        cx = min(max(px, radius), width - radius)
        cy = min(max(py, radius), height - radius)
        return (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2
    return inside


def heart(cx, cy, size):
    """The implicit heart curve, `size` pixels across, centred on (cx, cy)."""
    def inside(px, py):
        x = (px - cx) / (size / 2.3)
        y = -(py - cy) / (size / 2.3) + 0.15
        return (x * x + y * y - 1) ** 3 - x * x * y ** 3 <= 0
    return inside


def plus(cx, cy, arm, half_width):
    return any_of(box(cx - arm, cy - half_width, cx + arm, cy + half_width),
                  box(cx - half_width, cy - arm, cx + half_width, cy + arm))


def button_pixels(width, height, top, bottom, glyph, backdrop, radius):
    """A rounded button face with a vertical gradient, a darker rim and a white glyph, blended
    onto a plain backdrop colour."""
    outer = rounded_rect(width, height, radius)
    inner = lambda px, py: rounded_rect(width - 2, height - 2, radius - 1)(px - 1, py - 1)
    rim = mix(bottom, (0, 0, 0), 0.25)
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            face = mix(top, bottom, y / (height - 1))
            face = mix(rim, face, coverage(inner, x, y))
            face = mix(face, (255, 255, 255), coverage(glyph, x, y))
            row.append(mix(backdrop, face, coverage(outer, x, y)))
        rows.append(row)
    return rows


def donate_pixels(backdrop):
    """62 x 31: an amber button with a heart and a plus sign, for the donation page."""
    glyph = any_of(heart(19, 15.5, 15), plus(40, 15.5, 6, 1.6))
    return button_pixels(62, 31, (252, 211, 77), (217, 119, 6), glyph, backdrop, 7)


def share_pixels(width, height, top, bottom, symbol, backdrop):
    """A small sharing button: a service's symbol on the left, a plus sign on the right."""
    glyph = any_of(symbol, plus(width - 14, height / 2, height * 0.28, 1.2))
    return button_pixels(width, height, top, bottom, glyph, backdrop, 4)


def small_people(cy):
    return any_of(circle(12, cy - 3, 2.2), circle(18, cy - 3, 2.2),
                  lambda px, py: py >= cy and py <= cy + 4.5 and (px - 12) ** 2 / 12 + (py - cy - 4) ** 2 / 9 <= 1,
                  lambda px, py: py >= cy and py <= cy + 4.5 and (px - 18) ** 2 / 12 + (py - cy - 4) ** 2 / 9 <= 1)


def small_bubble(cy):
    return any_of(lambda px, py: ((px - 15) / 7) ** 2 + ((py - cy + 1) / 4.8) ** 2 <= 1,
                  triangle((10.5, cy + 1.5), (9.5, cy + 6), (14, cy + 3)))


def logo_pixels(width, height, backdrop):
    """The maker's logo: a violet ring open to the upper right around an amber spark."""
    cx, cy = width / 2, height / 2
    outer, inner = 44, 29

    def ring_with_gap(px, py):
        d2 = (px - cx) ** 2 + (py - cy) ** 2
        if not inner * inner <= d2 <= outer * outer:
            return False
        angle = math.degrees(math.atan2(cy - py, px - cx))
        return not 20 <= angle <= 70

    spark = any_of(circle(cx, cy, 11), circle(cx + 25, cy - 25, 7))
    top, bottom = (167, 139, 250), (76, 29, 149)
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            violet = mix(top, bottom, y / (height - 1))
            pixel = mix(backdrop, violet, coverage(ring_with_gap, x, y))
            pixel = mix(pixel, (245, 158, 11), coverage(spark, x, y))
            row.append(pixel)
        rows.append(row)
    return rows


def band_pixels(width, height):
    """A pale wash from white to lavender; the support dialog keeps it hidden behind its face."""
    return [[mix((255, 255, 255), (237, 233, 254), y / (height - 1))] * width for y in range(height)]


# --- file formats ---------------------------------------------------------------------------

def bmp24(rows):
    """A bottom-up 24-bit BMP file."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in (p[:3] for p in row):
            line += bytes((b, g, r))
        body += line + bytes(stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(body), 3780, 3780, 0, 0)
    return header + info + bytes(body)


def icon_image(rows):
    """One icon directory entry's image: a 32-bit DIB (double height) plus its AND mask."""
    size = len(rows)
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return info + bytes(xor) + bytes(mask)


def ico(images):
    count = len(images)
    directory = struct.pack('<HHH', 0, 1, count)
    offset = 6 + 16 * count
    blobs = []
    for rows in images:
        blob = icon_image(rows)
        size = len(rows)
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return directory + b''.join(blobs)


def on_backdrop(rows, backdrop):
    """Blends RGBA rows onto one backdrop colour per row (pictures drawn over the header band)."""
    return [[mix(backdrop[y], p[:3], p[3] / 255) for p in row] for y, row in enumerate(rows)]


def picture_data(class_name, file_bytes):
    """A picture as window definitions store it: length-prefixed class name, then the file."""
    name = class_name.encode('ascii')
    return binary_block(bytes((len(name),)) + name + file_bytes)


def binary_block(data):
    """A byte-block property in a window definition: hex digits in braces."""
    text = data.hex().upper()
    lines = [text[i:i + 64] for i in range(0, len(text), 64)]
    return '{\n' + '\n'.join('      ' + line for line in lines) + '}'


def main():
    args = sys.argv[1:]
    skin_stream = None
    if len(args) >= 2 and args[0] == '--skin-stream':
        skin_stream = Path(args[1]).read_bytes()
        args = args[2:]
    if len(args) < 1 or len(args) % 2 != 1:
        sys.exit('usage: make_pictures.py [--skin-stream FILE] OUTPUT-FOLDER [DEFINITION-TEMPLATE DEFINITION-OUTPUT]...')
    out = Path(args[0])
    out.mkdir(parents=True, exist_ok=True)
    header = header_pixels(4, 49)
    band = [row[0] for row in header]
    white, face = (255, 255, 255), (240, 240, 240)
    # The icon (top 8) and the badges (top 16) sit on the header band and blend into it; the
    # support dialog's buttons sit on its white face, the About dialog's on the button face.
    pictures = {
        'header.bmp': bmp24(header),
        'icon.bmp': bmp24(on_backdrop(icon_pixels(32), band[8:8 + 32])),
        'link1.bmp': bmp24(badge_pixels(28, (37, 99, 235), people_glyph(), band[16:16 + 28])),
        'link2.bmp': bmp24(badge_pixels(28, (14, 165, 233), bubble_glyph(), band[16:16 + 28])),
        'donate.bmp': bmp24(donate_pixels(white)),
        'donate-face.bmp': bmp24(donate_pixels(face)),
        'share1.bmp': bmp24(share_pixels(57, 18, (96, 165, 250), (29, 78, 216), small_people(8), white)),
        'share2.bmp': bmp24(share_pixels(57, 20, (125, 211, 252), (2, 132, 199), small_bubble(10), white)),
        'logo.bmp': bmp24(logo_pixels(98, 96, face)),
        'band.bmp': bmp24(band_pixels(4, 8)),
    }
    for name, data in pictures.items():
        (out / name).write_bytes(data)
    (out / 'velmora.ico').write_bytes(ico([icon_pixels(32), icon_pixels(16), icon_pixels(48)]))

    markers = {'@' + name[:-4].upper().replace('-', '_') + '_PICTURE@': name for name in pictures}
    for template, output in zip(args[1::2], args[2::2]):
        text = Path(template).read_text(encoding='cp1252')
        # The stored skin of the catalogue window (skinpack's SkinStream form).
        if '@SKIN_STREAM@' in text:
            if skin_stream is None:
                sys.exit(template + ': names the skin stream, but none was given (--skin-stream)')
            text = text.replace('@SKIN_STREAM@', binary_block(skin_stream))
        for marker, name in markers.items():
            text = text.replace(marker, picture_data('TBitmap', pictures[name]))
        if '_PICTURE@' in text:
            sys.exit(template + ': names a picture that is not drawn here')
        Path(output).write_text(text, encoding='cp1252', newline='\r\n')

if __name__ == '__main__':
    main()
