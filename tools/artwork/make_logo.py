#!/usr/bin/env python3
"""Draws the maker's logo for the wizard frame: an 87 by 171 pixel, 256-colour bitmap."""
import struct
import sys

WIDTH, HEIGHT = 87, 171


def palette():
    """White, then a ramp from deep blue to light blue, then greys."""
    colours = [(255, 255, 255)]
    for i in range(128):
        t = i / 127.0
        colours.append((int(120 + 110 * t), int(40 + 120 * t), int(10 + 60 * t)))  # BGR blues
    for i in range(256 - len(colours)):
        g = int(255 * i / 126.0) if i < 127 else 255
        colours.append((g, g, g))
    return colours[:256]


def near_segment(px, py, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)))
    qx, qy = ax + t * dx, ay + t * dy
    return (px - qx) ** 2 + (py - qy) ** 2 <= width ** 2


def index(x, y):
    """Palette index of one pixel; (0, 0) is the top left."""
    margin = 6
    if x < margin or x >= WIDTH - margin or y < margin or y >= HEIGHT - margin:
        return 0
    # Three stacked panes, the middle one with a white "V".
    if 60 <= y < 64 or 118 <= y < 122:
        return 0
    if 64 <= y < 118 and (near_segment(x, y, 22, 72, 43, 110, 4) or near_segment(x, y, 64, 72, 43, 110, 4)):
        return 0
    return 1 + min(127, int(127 * (y - margin) / float(HEIGHT - 2 * margin)))


def main(path):
    stride = (WIDTH + 3) & ~3
    pixels = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytes(index(x, y) for x in range(WIDTH))
        pixels += row + bytes(stride - WIDTH)
    colours = b''.join(bytes((b, g, r, 0)) for (b, g, r) in palette())
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + colours + bytes(pixels))


if __name__ == '__main__':
    main(sys.argv[1])
