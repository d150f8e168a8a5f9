#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""Pelorin on a Wayland desktop, and at the end of a desktop session.

A headless weston stands in for the Wayland desktop: with XWayland, Pelorin
must open its windows on X11, where it can place them; without it, on
Wayland itself. The end of a session is SIGTERM (logind sends SIGHUP right
after it): Pelorin ends as when its main window is closed, with code 0 and
the screen saver's hold let go.

usage: wayland_test.py PELORIN [xwayland|wayland|session-end]
"""

import os
import pathlib
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

from Xlib import display as xdisplay

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from e2e_test import FOLDER_FIELD, SECONDS_FIELD, START_BUTTON, check, covered_by_first_picture  # noqa: E402
from xsession import XSession  # noqa: E402

SAMPLES = pathlib.Path(__file__).resolve().parents[2] / "samples"
SOCKET_NAME = "pelorin-wayland"
# The client area of the main window as designed.
MAIN_WINDOW_SIZE = (365, 143)

PLUGIN_NAMES = {"libqxcb.so": "xcb", "libqwayland-generic.so": "wayland",
                "libqwayland-egl.so": "wayland-egl"}


def wait_until(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.02)
    raise AssertionError(f"timed out waiting for {what}")


class Weston:
    """A headless weston with a runtime folder of its own, so neither its
    socket nor its XWayland can meet a desktop the machine already has."""

    def __init__(self, xwayland):
        self.runtime = pathlib.Path(tempfile.mkdtemp(prefix="pelorin-weston-"))
        self.runtime.chmod(0o700)
        self.log_path = self.runtime / "weston.log"
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE")}
        env["XDG_RUNTIME_DIR"] = str(self.runtime)
        # proto: every request a client makes goes into the log, which is how
        # the test sees a window that only the compositor knows of.
        command = ["weston", "--backend=headless-backend.so", f"--socket={SOCKET_NAME}",
                   "--no-config", "--idle-time=0", "--logger-scopes=log,proto",
                   f"--log={self.log_path}"]
        if xwayland:
            command.append("--xwayland")
        started = time.monotonic()
        with open(self.runtime / "weston.out", "w") as out:
            self.process = subprocess.Popen(command, env=env, stdout=out, stderr=subprocess.STDOUT)
        self.x_display = None
        try:
            # Clients that connect before weston runs its loop are served once
            # it does, so a socket that accepts is all there is to wait for.
            wait_until(self._accepts, 20, "weston's socket")
            if xwayland:
                # XWayland starts at the first X client; its socket listens already.
                self.x_display = wait_until(self._x_display, 20, "weston's X display")
        except BaseException:
            self.close()
            raise
        print(f"weston ready after {time.monotonic() - started:.2f} s"
              + (f", XWayland on {self.x_display}" if xwayland else ""))
        self.env = dict(env, WAYLAND_DISPLAY=SOCKET_NAME, XDG_SESSION_TYPE="wayland")
        if self.x_display:
            self.env["DISPLAY"] = self.x_display

    def _accepts(self):
        if self.process.poll() is not None:
            raise AssertionError(f"weston ended with {self.process.returncode}:\n{self.log()[-2000:]}")
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as probe:
            try:
                probe.connect(str(self.runtime / SOCKET_NAME))
            except OSError:
                return False
        return True

    def _x_display(self):
        match = re.search(r"xserver listening on display (:\d+)", self.log())
        return match and match.group(1)

    def log(self):
        return self.log_path.read_text(errors="replace") if self.log_path.exists() else ""

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        # A weston that had to be killed leaves its X display's lock and socket.
        if self.x_display:
            number = self.x_display[1:]
            for left in (f"/tmp/.X{number}-lock", f"/tmp/.X11-unix/X{number}"):
                if os.path.exists(left) and self.process.returncode != 0:
                    os.unlink(left)
        shutil.rmtree(self.runtime, ignore_errors=True)


class XWaylandSession(XSession):
    """The X display of a running weston: the windows of an XSession,
    without a server of its own to start or stop. Input is never sent here:
    weston's headless XWayland drops the connection of a client that sends
    XTest events."""

    def __init__(self, weston):  # noqa: super().__init__ would start Xvfb
        self.name = weston.x_display
        self.env = weston.env
        self.x = xdisplay.Display(self.name)
        self.program = None

    def close(self):
        if self.program and self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        self.x.close()


def platform_plugins(pid):
    """Qt's window-system plugins that the process has loaded. Qt keeps a
    plugin it tried and could not start, so the one in use is the last."""
    try:
        maps = pathlib.Path(f"/proc/{pid}/maps").read_text()
    except FileNotFoundError:
        return []
    loaded = []
    # Qt reads every plugin's metadata through a read-only mapping of the
    # file while it scans the folder: only a plugin with code mapped to run
    # has been loaded.
    for library in re.findall(r"^\S+ ..x. .*/platforms/(lib[\w-]+\.so)$", maps, re.M):
        name = PLUGIN_NAMES.get(library)
        if name and name not in loaded:
            loaded.append(name)
    return loaded


def wait_for_plugin(program):
    def loaded():
        if program.poll() is not None:
            raise AssertionError(f"Pelorin ended with {program.returncode} as it started")
        return platform_plugins(program.pid)
    return wait_until(loaded, 30, "Qt to load a platform plugin")


def ends_on_sigterm(program):
    """SIGTERM, then SIGHUP as logind sends them: one clean end, code 0."""
    program.send_signal(signal.SIGTERM)
    program.send_signal(signal.SIGHUP)
    try:
        code = program.wait(timeout=10)
    except subprocess.TimeoutExpired:
        program.kill()
        raise AssertionError("Pelorin did not end on SIGTERM")
    check(code == 0, f"Pelorin ended with {code} on SIGTERM"
          + (f" (killed by {signal.Signals(-code).name})" if code < 0 else ""))


def troubles(output):
    """Lines that say a platform plugin failed or the program gave up."""
    return [line for line in output.splitlines()
            if re.search(r"could not (connect|load|find)|failed to|cannot open|Pelorin", line, re.I)]


def on_xwayland(program):
    """With XWayland there, Pelorin takes X11: its window at its designed
    size on the X display, and a close from the window manager ends it."""
    weston = Weston(xwayland=True)
    try:
        session = XWaylandSession(weston)
    except BaseException:
        weston.close()
        raise
    try:
        session.start(program, SAMPLES)
        plugins = wait_for_plugin(session.program)
        check(plugins[0] == "xcb", f"Qt tried {plugins} first, not X11")
        form1 = session.find_window("Pelorin")
        plugins = platform_plugins(session.program.pid)
        print(f"with XWayland, Qt loaded {plugins}")
        check(plugins == ["xcb"], f"Qt took {plugins}, not X11 alone")
        _, _, width, height = session.geometry(form1)
        check((width, height) == MAIN_WINDOW_SIZE, f"main window client area is {width}x{height}")
        check("set_title(\"Pelorin\")" not in weston.log(), "a Wayland window titled Pelorin")
        session.request_close(form1)
        code = session.wait_exit()
        output = session.program.stdout.read()
        check(code == 0, f"Pelorin ended with {code}: {output}")
        check(not troubles(output), f"Pelorin said: {output}")
        print("on XWayland: ok")
    finally:
        session.close()
        weston.close()


def on_wayland_alone(program):
    """Without XWayland and without DISPLAY, Pelorin runs on Wayland and ends
    cleanly on SIGTERM."""
    weston = Weston(xwayland=False)
    output_path = weston.runtime / "pelorin.out"
    try:
        with open(output_path, "w") as output:
            pelorin = subprocess.Popen([program], cwd=SAMPLES, env=weston.env, stdout=output,
                                       stderr=subprocess.STDOUT)
        try:
            plugins = wait_for_plugin(pelorin)
            check(plugins[0] == "wayland", f"Qt tried {plugins} first, not Wayland")
            # The main window as the compositor knows it: a toplevel with the
            # caption, whose first configure the program has answered.
            wait_until(lambda: re.search(r'(client \w+) rq xdg_toplevel@\d+\.set_title\("Pelorin"\)'
                                         r"[\s\S]*\1 rq xdg_surface@\d+\.ack_configure", weston.log()),
                       30, "the main window on the compositor")
            plugins = platform_plugins(pelorin.pid)
            print(f"without XWayland, Qt loaded {plugins}")
            check(plugins == ["wayland"], f"Qt took {plugins}, not Wayland alone")
            check(pelorin.poll() is None, f"Pelorin ended with {pelorin.returncode}")
            ends_on_sigterm(pelorin)
        finally:
            if pelorin.poll() is None:
                pelorin.kill()
                pelorin.wait()
        output = output_path.read_text()
        check(not troubles(output), f"Pelorin said: {output}")
        print("on Wayland alone: ok")
    finally:
        weston.close()


FAKE_SCREEN_SAVER = r"""
import dbus, dbus.mainloop.glib, dbus.service
from gi.repository import GLib
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
class ScreenSaver(dbus.service.Object):
    cookies = 0
    @dbus.service.method("org.freedesktop.ScreenSaver", in_signature="ss", out_signature="u")
    def Inhibit(self, application, reason):
        ScreenSaver.cookies += 1
        print("Inhibit", ScreenSaver.cookies, flush=True)
        return ScreenSaver.cookies
    @dbus.service.method("org.freedesktop.ScreenSaver", in_signature="u")
    def UnInhibit(self, cookie):
        print("UnInhibit", cookie, flush=True)
bus = dbus.SessionBus()
name = dbus.service.BusName("org.freedesktop.ScreenSaver", bus)
ScreenSaver(bus, "/org/freedesktop/ScreenSaver")
print("ready", flush=True)
GLib.MainLoop().run()
"""


class ScreenSaverService:
    """A session bus of the test's own with a screen saver on it that
    writes down the holds it is asked for and let go of."""

    def __init__(self, folder):
        self.daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                        "--print-address=1"],
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.daemon.stdout.readline().strip()
        if not self.address:
            raise RuntimeError("dbus-daemon did not start")
        self.calls_path = folder / "screen-saver"
        with open(self.calls_path, "w") as calls:
            self.service = subprocess.Popen([sys.executable, "-c", FAKE_SCREEN_SAVER],
                                            env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.address),
                                            stdout=calls, stderr=subprocess.STDOUT)
        try:
            wait_until(lambda: "ready" in self.calls(), 20, "the screen saver on the bus")
        except BaseException:
            self.close()
            raise

    def calls(self):
        return self.calls_path.read_text()

    def holds(self):
        return re.findall(r"^Inhibit (\d+)$", self.calls(), re.M)

    def let_go(self):
        return re.findall(r"^UnInhibit (\d+)$", self.calls(), re.M)

    def close(self):
        for process in (self.service, self.daemon):
            process.terminate()
            process.wait()


def show_started(session, program, seconds):
    session.start(program, SAMPLES)
    form1 = session.find_window("Pelorin")
    session.click_in(form1, *FOLDER_FIELD)
    session.type(str(SAMPLES))
    session.click_in(form1, *SECONDS_FIELD)
    session.xdotool("key", "ctrl+a")
    session.type(seconds)
    session.click_in(form1, *START_BUTTON)
    return form1


def session_end_on_x11(program):
    """On X11: SIGTERM during a show ends Pelorin with code 0 and lets the
    screen saver go; during a message box, once the box is closed."""
    scratch = pathlib.Path(tempfile.mkdtemp(prefix="pelorin-session-end-"))
    screen_saver = ScreenSaverService(scratch)
    try:
        session = XSession(extra_env={"DBUS_SESSION_BUS_ADDRESS": screen_saver.address})
        try:
            sigterm_during_show(session, program, screen_saver)
            sigterm_during_message_box(session, program)
        finally:
            session.close()
    finally:
        screen_saver.close()
        shutil.rmtree(scratch, ignore_errors=True)


def sigterm_during_show(session, program, screen_saver):
    show_started(session, program, "30")
    session.wait_for(covered_by_first_picture, what="the show")
    held = wait_until(screen_saver.holds, 20, "the screen saver to be held")
    check(platform_plugins(session.program.pid) == ["xcb"], "not on X11")
    ends_on_sigterm(session.program)
    check(screen_saver.let_go() == held, f"the screen saver heard: {screen_saver.calls()!r}")
    print("SIGTERM during a show: ended with 0, screen saver let go")


def sigterm_during_message_box(session, program):
    """A message box is an event handler still running: the end waits for it."""
    show_started(session, program, "abc")
    box = session.find_window("Project1")
    session.program.send_signal(signal.SIGTERM)
    # Nothing to wait for but the absence of an end: a bounded look.
    deadline = time.monotonic() + 1.0
    while time.monotonic() < deadline and session.program.poll() is None:
        time.sleep(0.05)
    check(session.program.poll() is None, "Pelorin ended inside an event handler")
    check(session.mapped(box), "the message box went away by itself")
    session.request_close(box)
    code = session.wait_exit()
    check(code == 0, f"Pelorin ended with {code} after the message box")
    print("SIGTERM during a message box: ended with 0 once it closed")

CASES = {"xwayland": on_xwayland, "wayland": on_wayland_alone, "session-end": session_end_on_x11}


def main():
    program = os.path.abspath(sys.argv[1])
    if len(sys.argv) > 2:
        CASES[sys.argv[2]](program)
        return
    # Each case in an interpreter of its own: python-xlib keeps the event
    # numbers of the first X server's extensions for every display after it.
    failed = [case for case in CASES
              if subprocess.run([sys.executable, __file__, program, case]).returncode != 0]
    if failed:
        sys.exit(f"wayland: failed: {', '.join(failed)}")
    print("wayland: ok")


if __name__ == "__main__":
    main()
