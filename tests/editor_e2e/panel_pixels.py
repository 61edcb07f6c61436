#!/usr/bin/env python3
"""Region questions about 24-bit BMP screenshots of the editor, answered with one number.

  panel_pixels.py near FILE X0 Y0 X1 Y1 R G B TOL   pixels within TOL of the colour
  panel_pixels.py diff FILE_A FILE_B X0 Y0 X1 Y1    pixels that differ between two shots
  panel_pixels.py mean FILE X0 Y0 X1 Y1             mean colour "R G B"
  panel_pixels.py size FILE                          "WIDTH HEIGHT"

Rectangles are half-open: X0 <= x < X1, Y0 <= y < Y1, in window coordinates.
"""
import struct
import sys


def load(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        sys.exit(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    if bits != 24:
        sys.exit(f"{path}: {bits} bits per pixel, expected 24")
    stride = (width * 3 + 3) & ~3
    bottom_up = height > 0
    height = abs(height)

    def pixel(x, y):
        row = height - 1 - y if bottom_up else y
        i = offset + row * stride + x * 3
        b, g, r = data[i], data[i + 1], data[i + 2]
        return r, g, b

    return width, height, pixel


def region(args, width, height):
    x0, y0, x1, y1 = (int(a) for a in args)
    if not (0 <= x0 < x1 <= width and 0 <= y0 < y1 <= height):
        sys.exit(f"region {x0},{y0},{x1},{y1} outside {width}x{height}")
    return [(x, y) for y in range(y0, y1) for x in range(x0, x1)]


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    what = argv[1]
    if what == "size":
        w, h, _ = load(argv[2])
        print(w, h)
    elif what == "near":
        w, h, pixel = load(argv[2])
        r, g, b, tol = (int(a) for a in argv[7:11])
        print(sum(1 for x, y in region(argv[3:7], w, h)
                  if max(abs(c - t) for c, t in zip(pixel(x, y), (r, g, b))) <= tol))
    elif what == "diff":
        wa, ha, a = load(argv[2])
        wb, hb, b = load(argv[3])
        if (wa, ha) != (wb, hb):
            sys.exit("shots differ in size")
        print(sum(1 for x, y in region(argv[4:8], wa, ha) if a(x, y) != b(x, y)))
    elif what == "mean":
        w, h, pixel = load(argv[2])
        points = region(argv[3:7], w, h)
        sums = [0, 0, 0]
        for x, y in points:
            for i, c in enumerate(pixel(x, y)):
                sums[i] += c
        print(" ".join(str(round(s / len(points))) for s in sums))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
