# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""A private X server with Pelorin in it: start, find windows, click, type,
look at pixels, close windows the way a window manager would."""

import os
import subprocess
import tempfile
import time

from PIL import Image
import Xlib.error
from Xlib import X, display as xdisplay, protocol


class XSession:
    def __init__(self, width=1024, height=768, extra_env=None):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_fd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"
        self.env = dict(os.environ, DISPLAY=self.name)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.setdefault("XDG_RUNTIME_DIR", tempfile.mkdtemp(prefix="pelorin-xdg-"))
        os.chmod(self.env["XDG_RUNTIME_DIR"], 0o700)
        if extra_env:
            self.env.update(extra_env)
        self.x = xdisplay.Display(self.name)
        self.program = None

    # The program -----------------------------------------------------------

    def start(self, program, cwd):
        self.program = subprocess.Popen([program], cwd=cwd, env=self.env,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        return self.program

    def wait_exit(self, timeout=10):
        try:
            code = self.program.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.program.kill()
            raise AssertionError("Pelorin did not end")
        return code

    def close(self):
        if self.program and self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        self.x.close()
        self.xvfb.terminate()
        self.xvfb.wait()

    # Windows ---------------------------------------------------------------

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, check=True,
                              capture_output=True, text=True).stdout

    def find_window(self, title, timeout=30):
        """The visible top-level window with exactly this title."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                                    env=self.env, capture_output=True, text=True)
            ids = [int(line) for line in result.stdout.split()]
            if ids:
                return ids[-1]
            time.sleep(0.05)
        raise AssertionError(f"no visible window titled {title!r}")

    def geometry(self, window):
        """Position of the client area on the screen, and its size."""
        win = self.x.create_resource_object("window", window)
        geometry = win.get_geometry()
        origin = win.translate_coords(self.x.screen().root, 0, 0)
        return -origin.x, -origin.y, geometry.width, geometry.height

    def window_at(self, x, y):
        """The top-level window under a point of the screen."""
        out = self.xdotool("mousemove", str(x), str(y), "getmouselocation", "--shell")
        return int(dict(line.split("=") for line in out.split())["WINDOW"])

    def mapped(self, window):
        win = self.x.create_resource_object("window", window)
        return win.get_attributes().map_state == X.IsViewable

    def click(self, x, y):
        # XTest events arrive in order, so the click lands where the move went
        # (--sync would wait for ever when the pointer is already there).
        self.xdotool("mousemove", str(x), str(y), "click", "1")

    def click_in(self, window, twips_x, twips_y):
        """Clicks a point given in twips from the window's client corner."""
        left, top, _, _ = self.geometry(window)
        self.click(left + round(twips_x / 15), top + round(twips_y / 15))

    def type(self, text):
        self.xdotool("type", "--delay", "2", text)

    def raise_window(self, window):
        win = self.x.create_resource_object("window", window)
        win.configure(stack_mode=X.Above)
        self.x.sync()

    def request_close(self, window):
        """What a window manager's close box sends: WM_DELETE_WINDOW."""
        win = self.x.create_resource_object("window", window)
        protocols = self.x.intern_atom("WM_PROTOCOLS")
        delete = self.x.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=win, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        win.send_event(event)
        self.x.sync()

    # Pixels ----------------------------------------------------------------

    def screenshot(self, path=None):
        data = subprocess.run(["import", "-display", self.name, "-window", "root", "png:-"],
                              check=True, capture_output=True).stdout
        image = Image.open(__import__("io").BytesIO(data)).convert("RGB")
        if path:
            image.save(path)
        return image

    def pointer_visible(self):
        """Whether the mouse pointer shows any pixel (XFixes' cursor image)."""
        if not getattr(self, "_xfixes", False):
            self.x.xfixes_query_version()
            self._xfixes = True
        image = self.x.xfixes_get_cursor_image(self.x.screen().root)
        return any(pixel >> 24 for pixel in image.cursor_image)

    def wait_until(self, condition, timeout=20, what="a change"):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if condition():
                return
            time.sleep(0.05)
        raise AssertionError(f"timed out waiting for {what}")

    def wait_for(self, condition, timeout=20, what="the screen to change"):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            shot = self.screenshot()
            if condition(shot):
                return shot
            time.sleep(0.05)
        raise AssertionError(f"timed out waiting for {what}\n{self.describe(shot)}")

    def describe(self, shot):
        """What a failed wait saw, for a run nobody watched: the windows from
        the bottom of the stack up, a few pixels, and the last screenshot."""
        lines = ["windows, bottom to top:"]
        for child in self.x.screen().root.query_tree().children:
            try:
                if child.get_attributes().map_state != X.IsViewable:
                    continue
                g = child.get_geometry()
                name = child.get_wm_name() or ""
            except Xlib.error.XError:
                continue  # gone meanwhile
            lines.append(f"  0x{child.id:x} {name!r} at {g.x},{g.y} {g.width}x{g.height}")
        w, h = shot.size
        points = [(4, 4), (w - 5, 4), (4, h - 5), (w - 5, h - 5), (60, 60), (w // 2, h // 2)]
        lines.append("pixels: " + ", ".join(f"{p}={shot.getpixel(p)}" for p in points))
        path = tempfile.NamedTemporaryFile(prefix="pelorin-e2e-", suffix=".png", delete=False).name
        shot.save(path)
        lines.append(f"the screen: {path}")
        return "\n".join(lines)


def near(colour, expected, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))
