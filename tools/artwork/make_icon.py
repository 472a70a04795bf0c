#!/usr/bin/env python3
"""Draws the installer's icon: a blue rounded square with a white "V" and a box, at 16, 32 and 48 px."""
import struct
import sys


def inside_rounded(x, y, size, radius):
    cx = min(max(x, radius), size - 1 - radius)
    cy = min(max(y, radius), size - 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def near_segment(px, py, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)))
    qx, qy = ax + t * dx, ay + t * dy
    return (px - qx) ** 2 + (py - qy) ** 2 <= width ** 2


def pixel(x, y, size):
    """BGRA of one pixel; (0, 0) is the top left."""
    if not inside_rounded(x, y, size, size * 0.2):
        return (0, 0, 0, 0)
    s = size / 32.0
    stroke = 2.6 * s
    if (near_segment(x, y, 8 * s, 7 * s, 16 * s, 24 * s, stroke) or
            near_segment(x, y, 24 * s, 7 * s, 16 * s, 24 * s, stroke)):
        return (255, 255, 255, 255)
    shade = int(90 + 120 * y / size)
    return (min(255, shade + 40), shade // 2, 20, 255)


def bitmap_entry(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        rows.append(b''.join(bytes(pixel(x, y, size)) for x in range(size)))
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # alpha carries the shape
    return header + b''.join(rows) + mask


def main(path):
    sizes = [16, 32, 48]
    images = [bitmap_entry(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1])
