# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""The Windows Pelorin.exe under Wine, in the X server of a Wine run
(scripts/wine-prefix start): start it, find its windows, click into their
client areas, look at pixels, close windows, as XSession does for Linux."""

import os
import pathlib
import shutil
import subprocess
import tempfile

from Xlib import X, display as xdisplay

from xsession import XSession

SCRIPTS = pathlib.Path(__file__).resolve().parent.parent.parent / "scripts"

# What Wine draws around a window with a title bar and a fixed border, at 96
# DPI: the X window is the whole Windows window, frame included. The caption
# bar is 18 pixels and a line below it; a sizable frame would be 4 wide.
FRAME = 3
CAPTION = 19
# _MOTIF_WM_HINTS decorations bit for a title bar: what tells a window Wine
# framed from a borderless one.
MWM_DECOR_TITLE = 0x8


class WineWindows:
    """What Wine's windows need on top of XSession: the frame Wine draws
    inside each X window, and a hidden window that stays mapped a moment."""

    def framed(self, window):
        win = self.x.create_resource_object("window", window)
        hints = win.get_full_property(self.x.intern_atom("_MOTIF_WM_HINTS"), X.AnyPropertyType)
        return bool(hints and len(hints.value) >= 3 and hints.value[2] & MWM_DECOR_TITLE)

    def outer_geometry(self, window):
        """Where the whole X window is on the screen, and its size."""
        return XSession.geometry(self, window)

    def geometry(self, window):
        """Position of the client area on the screen, and its size: inside
        Wine's frame for a window with a title bar."""
        left, top, width, height = self.outer_geometry(window)
        if not self.framed(window):
            return left, top, width, height
        return left + FRAME, top + FRAME + CAPTION, width - 2 * FRAME, height - 2 * FRAME - CAPTION

    def x_windows_named(self, title):
        """Every X window, mapped or not, with this title."""
        result = subprocess.run(["xdotool", "search", "--name", f"^{title}$"],
                                env=self.env, capture_output=True, text=True)
        return [int(line) for line in result.stdout.split()]

    def wait_unmapped(self, window, timeout=10, what="a window to go"):
        """Wine may leave a hidden window mapped for a moment: wait for it."""
        def gone():
            try:
                return not self.mapped(window)
            except Exception:  # destroyed
                return True
        self.wait_until(gone, timeout=timeout, what=what)


class WineSession(WineWindows, XSession):
    """Attaches to the run in run_dir, or makes a private one (slow: a new
    prefix template) when run_dir is None."""

    def __init__(self, run_dir=None, dpi=96):
        self.private_run = None
        if run_dir is None:
            self.private_run = pathlib.Path(tempfile.mkdtemp(prefix="pelorin-wine-e2e-"))
            subprocess.run([str(SCRIPTS / "wine-prefix"), "start", str(self.private_run)],
                           check=True, stdout=subprocess.DEVNULL)
            run_dir = self.private_run
        self.run = pathlib.Path(run_dir).resolve()
        if not (self.run / "ready").exists():
            raise RuntimeError(f"no Wine run is started in {self.run} (scripts/wine-prefix start)")
        self.name = (self.run / "display").read_text().strip()
        self.prefix = self.run / f"prefix-{dpi}"
        self.env = dict(os.environ, DISPLAY=self.name, PELORIN_WINE_DPI=str(dpi))
        self.env.pop("WAYLAND_DISPLAY", None)
        self.x = xdisplay.Display(self.name)
        self.program = None
        self.output = None

    # The program -----------------------------------------------------------

    def start(self, program, cwd):
        self.output = tempfile.TemporaryFile(mode="w+")
        self.program = subprocess.Popen([str(SCRIPTS / "wine-run"), "--run", str(self.run), program],
                                        cwd=cwd, env=self.env, stdin=subprocess.DEVNULL,
                                        stdout=self.output, stderr=subprocess.STDOUT)
        return self.program

    def program_output(self):
        self.output.seek(0)
        return self.output.read()

    def windows_path(self, path):
        """The path as the program sees it: through Wine's drive Z:, the root."""
        z = os.readlink(self.prefix / "dosdevices" / "z:")
        if os.path.realpath(z) != "/":
            raise RuntimeError(f"drive Z: of {self.prefix} is {z}, not /")
        return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")

    def close(self):
        if self.program and self.program.poll() is None:
            # wine-run ends the Windows process with it.
            self.program.terminate()
            self.program.wait()
        self.x.close()
        if self.private_run:
            subprocess.run([str(SCRIPTS / "wine-prefix"), "stop", str(self.private_run)],
                           stdout=subprocess.DEVNULL)
            shutil.rmtree(self.private_run, ignore_errors=True)
