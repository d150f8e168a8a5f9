#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""Pelorin on a screen of twice the usual density (QT_SCALE_FACTOR=2 on a
2048 by 1536 Xvfb): the main window keeps its designed layout, twice as
many pixels each way and nothing cut off, and a show draws the picture's
every pixel rather than a blur of the screen's half resolution. Then at
fractional scales, where whole layout pixels miss the device pixels: the
full-screen show is the screen's size exactly and paints its last column
and row.

usage: hidpi_test.py PELORIN
"""

import os
import pathlib
import sys
import tempfile

from PIL import Image
from Xlib import Xatom

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from xsession import XSession, near  # noqa: E402

BACKGROUND = (239, 239, 239)

# Twips from the main window's client corner.
FOLDER_FIELD = (120 + 4215 // 2, 480 + 360 // 2)
START_BUTTON = (1920 + 1695 // 2, 1680 + 375 // 2)
# The controls with text that must show whole: left, top, width, height.
CONTROLS = {
    "Select image folder:": (120, 120, 2175, 255),
    "Browse": (4440, 480, 975, 375),
    "Seconds per picture:": (120, 1080, 2295, 375),
    "2": (2040, 1080, 615, 375),
    "Start Slide Show": (1920, 1680, 1695, 375),
    "?": (4800, 1680, 495, 375),
}

# The picture: the screen's size in device pixels, sky blue, with a
# checkerboard of single pixels that only a one-to-one drawing keeps.
PICTURE_SIZE = (2048, 1536)
SKY = (40, 110, 200)
BOARD = (800, 600, 1200, 900)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def make_picture(folder):
    picture = Image.new("RGB", PICTURE_SIZE, SKY)
    pixels = picture.load()
    left, top, right, bottom = BOARD
    for y in range(top, bottom):
        for x in range(left, right):
            pixels[x, y] = (255, 255, 255) if (x + y) % 2 else (0, 0, 0)
    # GIF: lossless, so the file holds exactly the pixels above.
    picture.save(folder / "board.gif")


def ink(shot, origin, rect, scale):
    """Bounding box of the dark text pixels inside a control, in device
    pixels from the window's client corner, and the control's box."""
    left, top, width, height = (round(v * scale / 15) for v in rect)
    ox, oy = origin
    xs, ys = [], []
    for y in range(top, top + height):
        for x in range(left, left + width):
            if sum(shot.getpixel((ox + x, oy + y))) < 3 * 80:
                xs.append(x)
                ys.append(y)
    box = (left, top, left + width - 1, top + height - 1)
    return box, ((min(xs), min(ys), max(xs), max(ys)) if xs else None)


def main_window_texts(program, folder, scale):
    """The main window's client size and each control's text box."""
    env = {"QT_SCALE_FACTOR": str(scale)} if scale != 1 else {}
    session = XSession(1024 * scale, 768 * scale, extra_env=env)
    try:
        session.start(program, folder)
        form1 = session.find_window("Pelorin")
        left, top, width, height = session.geometry(form1)
        # A window is mapped a moment before it is painted, and until then
        # every control is dark through and through, as if all ink: wait for
        # the form's own background in its corners first. Once painted, the
        # text box's caret blinks and the other texts are still.
        def painted(shot):
            corners = ((left + 2, top + 2), (left + width - 3, top + height - 3))
            return (all(near(shot.getpixel(corner), BACKGROUND, 25) for corner in corners)
                    and all(ink(shot, (left, top), rect, scale)[1] for rect in CONTROLS.values()))

        shot = session.wait_for(painted, what="the main window's texts")
        texts = {text: ink(shot, (left, top), rect, scale) for text, rect in CONTROLS.items()}
        return (width, height), texts, session, form1
    except BaseException:
        session.close()
        raise


# Screens whose size at the scale is no whole number of layout pixels: at
# 175% the 2736 pixels are 1563.4 of them, which Qt's own rounding turns
# into a window of 2735 or 2737.
# A scale is set as a desktop sets it: QT_SCALE_FACTOR, or the X resource
# Xft.dpi (168 dots per inch, 175%).
FRACTIONAL = [
    (2736, 1824, {"QT_SCALE_FACTOR": "1.75"}, None),
    (2736, 1824, {}, 168),
    (2560, 1600, {"QT_SCALE_FACTOR": "1.5"}, None),
    (2561, 1441, {"QT_SCALE_FACTOR": "2.5"}, None),
]


def full_screen_show(program, folder, width, height, env, xft_dpi):
    """Starts a show and waits for its opening to end: the show window must
    be the screen's size at 0, 0, with the picture in its last column and
    row."""
    scale = float(env["QT_SCALE_FACTOR"]) if env else xft_dpi / 96
    session = XSession(width, height, extra_env=env)
    try:
        if xft_dpi:
            root = session.x.screen().root
            root.change_property(session.x.intern_atom("RESOURCE_MANAGER"), Xatom.STRING, 8,
                                 f"Xft.dpi:\t{xft_dpi}\n".encode())
            session.x.sync()
        session.start(program, folder)
        form1 = session.find_window("Pelorin")
        session.click_in(form1, FOLDER_FIELD[0] * scale, FOLDER_FIELD[1] * scale)
        session.type(str(folder))
        session.click_in(form1, START_BUTTON[0] * scale, START_BUTTON[1] * scale)
        corners = ((width - 1, height - 1), (width - 1, 0), (0, height - 1),
                   (width // 2, height // 2))

        def covered(shot):
            return all(near(shot.getpixel(corner), SKY, 30) for corner in corners)

        session.wait_for(covered, what=f"the picture in the screen's corners at {scale}")
        show = session.window_at(width - 1, height - 1)
        geometry = session.geometry(show)
        check(geometry == (0, 0, width, height),
              f"at {scale} on {width}x{height} the full-screen show is {geometry}")
        how = f"Xft.dpi {xft_dpi}" if xft_dpi else f"QT_SCALE_FACTOR {scale}"
        print(f"full-screen show by {how} on {width}x{height}: exactly the screen")
    finally:
        session.close()


def main():
    program = os.path.abspath(sys.argv[1])
    plain = pathlib.Path(tempfile.mkdtemp(prefix="pelorin-hidpi-sky-"))
    Image.new("RGB", (64, 48), SKY).save(plain / "sky.gif")
    for width, height, env, xft_dpi in FRACTIONAL:
        full_screen_show(program, plain, width, height, env, xft_dpi)

    folder = pathlib.Path(tempfile.mkdtemp(prefix="pelorin-hidpi-"))
    make_picture(folder)

    size, designed, session, _ = main_window_texts(program, folder, 1)
    session.close()
    check(size == (365, 143), f"at scale 1 the client area is {size[0]}x{size[1]}")

    size, texts, session, form1 = main_window_texts(program, folder, 2)
    try:
        check(size == (730, 286), f"at scale 2 the client area is {size[0]}x{size[1]}")
        for text, (box, found) in texts.items():
            check(found is not None, f"{text!r} is not drawn at scale 2")
            # Inside its control, clear of the right and bottom edges where
            # a text too large for it would be cut off.
            check(box[0] <= found[0] and box[1] <= found[1] and found[2] < box[2] - 1
                  and found[3] < box[3] - 1, f"{text!r} at {found} reaches the edge of {box}")
            # Twice the designed size and place, to a pixel or two of
            # rounding and font hinting.
            expected = [2 * v for v in designed[text][1]]
            check(all(abs(a - b) <= 3 for a, b in zip(found, expected)),
                  f"{text!r} is at {found} at scale 2, {designed[text][1]} at scale 1")
        print(f"main window at scale 2: {size[0]}x{size[1]} device pixels, "
              f"{len(texts)} texts at twice their designed place")

        session.click_in(form1, FOLDER_FIELD[0] * 2, FOLDER_FIELD[1] * 2)
        session.type(str(folder))
        session.click_in(form1, START_BUTTON[0] * 2, START_BUTTON[1] * 2)

        def board_sharp(shot):
            if not near(shot.getpixel((100, 100)), SKY):
                return False
            for y in range(700, 764):
                for x in range(950, 1014):
                    colour = shot.getpixel((x, y))
                    white = (x + y) % 2 == 1
                    if not near(colour, (255, 255, 255) if white else (0, 0, 0), 60):
                        return False
            return True

        session.wait_for(board_sharp, what="the checkerboard, one screen pixel a square")
        print("the show draws the picture pixel for pixel at scale 2")
        session.request_close(form1)
        code = session.wait_exit()
        check(code == 0, f"Pelorin ended with {code}: {session.program.stdout.read()}")
        print("hidpi: ok")
    finally:
        session.close()


if __name__ == "__main__":
    main()
