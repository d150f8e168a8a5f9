#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""The display's colour profile, as a colour daemon publishes it on the X
root window, is read when a show starts: an untagged (sRGB) picture is
shown converted into it, and as stored once it is gone.

usage: colour_test.py PELORIN [SCREENSHOT-FOLDER]

With a screenshot folder, also shows a photo stored in Adobe RGB twice on
an sRGB display, converted and as if it were sRGB, for the README.
"""

import importlib.machinery
import io
import os
import pathlib
import shutil
import sys
import tempfile

from PIL import Image, ImageCms, ImageDraw
from Xlib import Xatom

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import e2e_test  # noqa: E402
from xsession import XSession, near  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parent.parent.parent
# The corpus script writes ICC profiles by hand: the same ones serve here.
corpus = importlib.machinery.SourceFileLoader(
    "make_hostile_corpus", str(ROOT / "scripts" / "make-hostile-corpus")).load_module()

STORED_RED = (220, 30, 30)
STORED_BLUE = (30, 30, 220)
# On a display whose red and green primaries are sRGB's exchanged, sRGB's
# red needs the display's green channel.
RED_ON_SWAPPED = (30, 220, 30)


def halves_jpeg(path):
    image = Image.new("RGB", (800, 600), STORED_BLUE)
    ImageDraw.Draw(image).rectangle([0, 0, 399, 599], fill=STORED_RED)
    image.save(path, "JPEG", quality=95)


def start_show(session, form1, folder):
    session.click_in(form1, *e2e_test.FOLDER_FIELD)
    session.xdotool("key", "ctrl+a")
    session.type(str(folder))
    session.click_in(form1, *e2e_test.SECONDS_FIELD)
    session.xdotool("key", "ctrl+a")
    session.type("30")
    session.click_in(form1, *e2e_test.START_BUTTON)


def stop_show(session, form1):
    session.raise_window(form1)
    session.click_in(form1, *e2e_test.START_BUTTON)
    session.wait_for(lambda s: near(s.getpixel((900, 700)), (0, 0, 0), 10),
                     what="the show window to go away")


def shows(left, right):
    def check(shot):
        w, h = shot.size
        return (near(shot.getpixel((w // 4, h - 40)), left, 30)
                and near(shot.getpixel((3 * w // 4, h - 40)), right, 30))
    return check


def publish(session, profile):
    """What a colour daemon does for the first screen."""
    root = session.x.screen().root
    atom = session.x.intern_atom("_ICC_PROFILE")
    if profile is None:
        root.delete_property(atom)
    else:
        root.change_property(atom, Xatom.CARDINAL, 8, profile)
    session.x.sync()


ADOBE_RGB = corpus.icc_profile([
    (b"desc", corpus.desc_tag("Adobe RGB (1998)")), (b"wtpt", corpus.xyz_tag(0.9642, 1.0, 0.8249)),
    (b"rXYZ", corpus.xyz_tag(0.6097, 0.3111, 0.0195)), (b"gXYZ", corpus.xyz_tag(0.2053, 0.6257, 0.0609)),
    (b"bXYZ", corpus.xyz_tag(0.1492, 0.0632, 0.7446)), (b"rTRC", corpus.curve_tag(563 / 256)),
    (b"gTRC", corpus.curve_tag(563 / 256)), (b"bTRC", corpus.curve_tag(563 / 256))])


def adobe_pair(session, form1, scratch, shots):
    """A photo as a camera set to Adobe RGB stores it, shown through its
    profile, and the same pixels shown as if they were sRGB."""
    photo = Image.open(ROOT / "samples" / "04 lighthouse.jpg").convert("RGB")
    srgb = ImageCms.createProfile("sRGB")
    adobe = ImageCms.ImageCmsProfile(io.BytesIO(ADOBE_RGB))
    stored = ImageCms.profileToProfile(photo, srgb, adobe, outputMode="RGB")
    for name, options in (("converted", {"icc_profile": ADOBE_RGB}), ("as-srgb", {})):
        folder = scratch / name
        folder.mkdir()
        stored.save(folder / "lighthouse.jpg", "JPEG", quality=92, **options)
        start_show(session, form1, folder)
        before = None

        def settled(shot):
            nonlocal before
            same = before is not None and shot.getpixel((512, 300)) == before.getpixel((512, 300)) \
                and shot.getpixel((100, 700)) == before.getpixel((100, 700))
            before = shot
            return same and not near(shot.getpixel((900, 700)), (0, 0, 0), 10)
        shot = session.wait_for(settled, what="the photo to cover the screen")
        shot.resize((512, 384)).save(shots / f"colours-{name}.png")
        stop_show(session, form1)


def main():
    program = os.path.abspath(sys.argv[1])
    shots = pathlib.Path(sys.argv[2]) if len(sys.argv) > 2 else None
    scratch = pathlib.Path(tempfile.mkdtemp(prefix="pelorin-colour-"))
    folder = scratch / "untagged"
    folder.mkdir()
    halves_jpeg(folder / "halves.jpg")
    session = XSession()
    try:
        publish(session, corpus.swapped_profile())
        session.start(program, str(folder))
        form1 = session.find_window("Pelorin")
        start_show(session, form1, folder)
        session.wait_for(shows(RED_ON_SWAPPED, STORED_BLUE),
                         what="the picture converted into the display's profile")
        stop_show(session, form1)

        # The daemon withdraws the profile: the next show is sRGB again.
        publish(session, None)
        start_show(session, form1, folder)
        session.wait_for(shows(STORED_RED, STORED_BLUE), what="the picture as stored")
        stop_show(session, form1)

        if shots:
            shots.mkdir(parents=True, exist_ok=True)
            adobe_pair(session, form1, scratch, shots)
        e2e_test.close_main_window(session, form1)
        print("colours: ok")
    finally:
        session.close()
        shutil.rmtree(scratch)


if __name__ == "__main__":
    main()
