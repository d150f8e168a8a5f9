#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""Reads the shipped icons back: pelorin.ico holds exactly a 32x32 in 2
colours, a 32x32 in 16 colours and a 16x16 in 16 colours, each a well-formed
bitmap that shows the same picture as the PNG of its size; the PNGs are
there in every size, square, with a transparent outside.

usage: icon_test.py RESOURCES
"""

import pathlib
import struct
import sys
from collections import Counter

from PIL import Image

PNG_SIZES = (16, 32, 48, 64, 128, 256)
EXPECTED_IMAGES = {(32, 2, 1), (32, 16, 4), (16, 16, 4)}  # side, colour count, bits per pixel


def fail(message):
    raise AssertionError(message)


def stride(width, bits):
    return (width * bits + 31) // 32 * 4


def read_bits(row, x, bits):
    """Pixel x of a packed row, most significant bits first."""
    bit = x * bits
    return (row[bit // 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1)


def read_ico(data):
    """The images of an .ico as dicts: the directory entry, the bitmap
    header and the decoded pixels, top row first (None where transparent)."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if (reserved, kind) != (0, 1):
        fail(f"not an icon file: reserved {reserved}, type {kind}")
    images = []
    for i in range(count):
        width, height, colours, zero, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        if offset + size > len(data):
            fail(f"image {i} runs past the end of the file")
        (header_size, bi_width, bi_height, bi_planes, bi_bits, compression, _, _, _, used,
         _) = struct.unpack_from("<IiiHHIIiiII", data, offset)
        if header_size != 40:
            fail(f"image {i}: a BITMAPINFOHEADER is 40 bytes, this one says {header_size}")
        if (bi_width, bi_height) != (width or 256, 2 * (height or 256)):
            fail(f"image {i}: the bitmap is {bi_width} by {bi_height} for a {width} by {height} icon;"
                 " its height must count the colour bitmap and the mask")
        if bi_planes != 1 or compression != 0:
            fail(f"image {i}: {bi_planes} planes, compression {compression}")
        if bi_bits != bits:
            fail(f"image {i}: the directory says {bits} bits per pixel, the bitmap {bi_bits}")
        palette_size = used or (1 << bi_bits if bi_bits <= 8 else 0)
        side = bi_width
        xor_size = stride(side, bi_bits) * side
        and_size = stride(side, 1) * side
        if size != 40 + 4 * palette_size + xor_size + and_size:
            fail(f"image {i}: {size} bytes, where header, palette, colour rows and mask rows "
                 f"padded to 4 bytes make {40 + 4 * palette_size + xor_size + and_size}")
        base = offset + 40
        palette = [tuple(reversed(data[base + 4 * c:base + 4 * c + 3])) for c in range(palette_size)]
        xor_start = base + 4 * palette_size
        and_start = xor_start + xor_size
        pixels = []
        for y in range(side):
            # Rows are stored bottom row first.
            row_at = side - 1 - y
            colour_row = data[xor_start + row_at * stride(side, bi_bits):][:stride(side, bi_bits)]
            mask_row = data[and_start + row_at * stride(side, 1):][:stride(side, 1)]
            row = []
            for x in range(side):
                index = read_bits(colour_row, x, bi_bits)
                if read_bits(mask_row, x, 1):
                    if palette[index] != (0, 0, 0):
                        fail(f"image {i}: transparent pixel ({x}, {y}) is not black and would tint "
                             "the screen under it")
                    row.append(None)
                else:
                    row.append(palette[index])
            pixels.append(row)
        images.append({"side": width or 256, "height": height or 256, "colours": colours, "bits": bits,
                       "reserved": zero, "planes": planes, "pixels": pixels})
    return images


def distance(a, b):
    return sum(abs(p - q) for p, q in zip(a, b)) / 3


def compare_to_png(image, png):
    """How far the icon image is from the PNG: the share of pixels where
    one is transparent and the other not, and the mean colour distance
    where both are opaque."""
    side = image["side"]
    png = png.convert("RGBA")
    outline_mismatch = 0
    distances = []
    for y in range(side):
        for x in range(side):
            ico_pixel = image["pixels"][y][x]
            png_pixel = png.getpixel((x, y))
            if (ico_pixel is None) != (png_pixel[3] < 128):
                outline_mismatch += 1
            elif ico_pixel is not None:
                distances.append(distance(ico_pixel, png_pixel))
    return outline_mismatch / side ** 2, sum(distances) / max(1, len(distances))


def check_ico(path, pngs):
    images = read_ico(path.read_bytes())
    found = sorted((im["side"], im["colours"], im["bits"]) for im in images)
    if len(images) != 3 or set(found) != EXPECTED_IMAGES:
        fail(f"{path.name} holds {found}; expected exactly {sorted(EXPECTED_IMAGES)}")
    for image in images:
        name = f"{image['side']}x{image['side']} in {image['colours']} colours"
        if image["height"] != image["side"] or image["reserved"] != 0 or image["planes"] != 1:
            fail(f"{name}: directory entry height {image['height']}, reserved {image['reserved']}, "
                 f"planes {image['planes']}")
        opaque = [p for row in image["pixels"] for p in row if p is not None]
        if not opaque or len(opaque) == image["side"] ** 2:
            fail(f"{name}: {len(opaque)} opaque pixels; an icon needs a shape and a way to see through")
        if len(set(opaque)) < (2 if image["colours"] == 2 else 4):
            fail(f"{name}: only {len(set(opaque))} colours are used")
        outline, colour = compare_to_png(image, pngs[image["side"]])
        if outline > 0.05:
            fail(f"{name}: its outline differs from the {image['side']} pixel PNG at {outline:.0%} of the pixels")
        if image["colours"] == 16 and colour > 24:
            fail(f"{name}: its colours are {colour:.0f} away from the PNG's on average")
        print(f"{path.name}: {name}, {image['bits']} bits per pixel: ok "
              f"(outline {outline:.1%} off, colours {colour:.1f} off)")
    # The 2 colour image has no PNG to compare with: it must be the 16
    # colour drawing of its size in black and white, each colour there
    # turned all black or all white.
    two = next(im for im in images if im["colours"] == 2)
    sixteen = next(im for im in images if im["colours"] == 16 and im["side"] == two["side"])
    turned = {}
    for row_two, row_sixteen in zip(two["pixels"], sixteen["pixels"]):
        for a, b in zip(row_two, row_sixteen):
            if a is not None and b is not None:
                turned.setdefault(b, Counter())[a] += 1
    if len({a for counts in turned.values() for a in counts}) != 2:
        fail("the 2 colour image is not in black and white")
    consistent = sum(max(counts.values()) for counts in turned.values()) / sum(
        sum(counts.values()) for counts in turned.values())
    if consistent < 0.95:
        fail(f"the 2 colour image follows the 16 colour drawing at only {consistent:.0%} of its pixels")
    print(f"{path.name}: the 2 colour image follows the 16 colour one at {consistent:.0%} of its pixels")


def check_pngs(resources):
    pngs = {}
    for size in PNG_SIZES:
        path = resources / "icons" / "hicolor" / f"{size}x{size}" / "apps" / "pelorin.png"
        with Image.open(path) as png:
            if png.format != "PNG" or png.size != (size, size) or png.mode != "RGBA":
                fail(f"{path}: {png.format} {png.mode} {png.size}; expected an RGBA PNG of {size}x{size}")
            png.load()
            pngs[size] = png
            corners = [png.getpixel(p)[3] for p in ((0, 0), (size - 1, 0), (0, size - 1), (size - 1, size - 1))]
            if any(corners) or png.getpixel((size // 2, size // 2))[3] != 255:
                fail(f"{path}: the corners must be transparent and the middle opaque")
        print(f"{path.relative_to(resources)}: ok")
    return pngs


def main():
    resources = pathlib.Path(sys.argv[1])
    pngs = check_pngs(resources)
    check_ico(resources / "pelorin.ico", pngs)
    print("icons: ok")


if __name__ == "__main__":
    main()
