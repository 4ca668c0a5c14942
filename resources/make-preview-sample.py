#!/usr/bin/env python3
"""Draws bitmap 103, the settings dialog's preview sample, from the default animation.

The sample is frame 700 of the default animation (the girl throwing the ball to the dog under the
tree and the moon), shrunk from 512 x 384 to 128 x 96 by averaging each 4 x 4 block, and stored as
a 4-bit bitmap with the standard 16-colour palette. It keeps the animation's own colours: black
figures on white, with grey soft edges. The preview shows dark sample pixels as the silhouette and
light ones as the see-through screen, so this is exactly how the saver's figures will look.

    make-preview-sample.py FRAMEPACK UM_BIN OUTPUT.bmp
"""
import os
import struct
import subprocess
import sys
import tempfile

FRAME = 700
SOURCE_WIDTH, SOURCE_HEIGHT = 512, 384
WIDTH, HEIGHT = 128, 96
BLOCK = SOURCE_WIDTH // WIDTH

# The standard 16-colour palette, in its usual order (blue, green, red as a bitmap stores them).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
# The palette's greys, darkest first, with their indices.
GREYS = [(0x00, 0), (0x80, 8), (0xC0, 7), (0xFF, 15)]


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, at = [], 0
    while len(fields) < 4:  # magic, width, height, maximum
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    at += 1  # the single whitespace before the pixels
    if fields[0] != b"P5" or (int(fields[1]), int(fields[2]), int(fields[3])) != (SOURCE_WIDTH, SOURCE_HEIGHT, 255):
        sys.exit("unexpected frame format: %r" % fields)
    return data[at:at + SOURCE_WIDTH * SOURCE_HEIGHT]


def nearest_grey_index(level):
    return min(GREYS, key=lambda grey: abs(grey[0] - level))[1]


def shrink(pixels):
    """Palette indices of the 128 x 96 picture, top row first."""
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            total = 0
            for dy in range(BLOCK):
                start = (y * BLOCK + dy) * SOURCE_WIDTH + x * BLOCK
                total += sum(pixels[start:start + BLOCK])
            row.append(nearest_grey_index((total + BLOCK * BLOCK // 2) // (BLOCK * BLOCK)))
        rows.append(row)
    return rows


def bitmap_bytes(rows):
    stride = WIDTH // 2  # two pixels per byte; 64 is already a multiple of 4
    image = bytearray()
    for row in reversed(rows):  # bottom row first
        for x in range(0, WIDTH, 2):
            image.append(row[x] << 4 | row[x + 1])
    assert len(image) == stride * HEIGHT
    palette = b"".join(struct.pack("<BBBB", blue, green, red, 0) for red, green, blue in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(image), 2835, 2835, 16, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    return header + info + palette + bytes(image)


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: make-preview-sample.py FRAMEPACK UM_BIN OUTPUT.bmp")
    framepack, frames, output = sys.argv[1:]
    with tempfile.TemporaryDirectory() as work:
        subprocess.run([framepack, "unpack", frames, "-o", work, "--first", str(FRAME), "--count", "1"],
                       check=True, stdout=subprocess.DEVNULL)
        pixels = read_pgm(os.path.join(work, "frame_%05d.pgm" % FRAME))
    data = bitmap_bytes(shrink(pixels))
    temporary = output + ".part"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, output)


if __name__ == "__main__":
    main()
