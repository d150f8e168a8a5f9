#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""Pelorin as a screen reader sees it: the real program on a private X
server, session bus and accessibility bus, read through AT-SPI.

usage: accessibility_test.py PELORIN SAMPLES
"""

import os
import pathlib
import signal
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from xsession import XSession  # noqa: E402

# The whole test; ctest's limit is above it, so a bus that never answers
# ends in a message and a clean-up rather than a killed run.
WHOLE_TEST_SECONDS = 100
WAIT_SECONDS = 20

LINK_TEXT = "https://www.example.com"

# (role, name) of what the main window holds whether the panel is open or
# not; the fields are named by the labels before them.
MAIN_CONTROLS = [
    ("label", "Select image folder:"),
    ("text", "Select image folder:"),
    ("label", "Seconds per picture:"),
    ("text", "Seconds per picture:"),
    ("push button", "Start Slide Show"),
    ("push button", "?"),
]
# The browse panel's controls, and the button that opens and closes it.
PANEL_CONTROLS = [
    ("combo box", "Drive"),
    ("list", "Folders"),
    ("list", "Pictures"),
    ("push button", "Select Folder"),
]


# pyatspi's, set once it is imported on the test's own buses.
RELATION_LABELLED_BY = None


class Timeout(Exception):
    pass


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def wait_for(condition, what, seconds=WAIT_SECONDS):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = condition()
        if found:
            return found
        time.sleep(0.1)
    raise AssertionError(f"waited {seconds} s for {what}")


class SessionBus:
    """A dbus-daemon of the test's own; the accessibility bus and its
    registry are started on it by D-Bus activation and end with it."""

    def __init__(self, env):
        self.daemon = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=env,
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, start_new_session=True)
        self.address = self.daemon.stdout.readline().strip()
        if not self.address:
            self.close()
            raise RuntimeError("dbus-daemon did not start")

    def close(self):
        # The activated services are in the daemon's process group.
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(self.daemon.pid, sig)
            except ProcessLookupError:
                break
            try:
                self.daemon.wait(timeout=5)
                time.sleep(0.2)
            except subprocess.TimeoutExpired:
                continue
        self.daemon.stdout.close()


def labelled_by(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == RELATION_LABELLED_BY and relation.getNTargets():
            return relation.getTarget(0)
    return None


def spoken(node):
    """The name a screen reader says: the control's own, or, where the
    toolkit names it by a label tied to it (Qt's combo boxes), the label's."""
    label = labelled_by(node)
    return label.name if label is not None and label.name else node.name


def pump_events():
    """Delivers the events that came in over the bus to their listeners."""
    from gi.repository import GLib
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def describe(node):
    text = f"{node.getRoleName()} {node.name!r}"
    label = labelled_by(node)
    if label is not None:
        text += f" (labelled by {label.name!r})"
    if node.description:
        text += f" (description {node.description!r})"
    return text


def tree(node, depth=0):
    lines = ["  " * depth + describe(node)]
    for child in node:
        if child is not None:
            lines += tree(child, depth + 1)
    return lines


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def find(root, role, name):
    return next((n for n in descendants(root) if n.getRoleName() == role and spoken(n) == name),
                None)


def showing(pyatspi, node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def focused(pyatspi, node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def press(node):
    """A screen reader's press on a control, through its first action."""
    action = node.queryAction()
    check(action.nActions > 0, f"{describe(node)} has no action")
    action.doAction(0)


def run(session, pyatspi, program, samples):
    process = session.start(program, samples)

    def application():
        desktop = pyatspi.Registry.getDesktop(0)
        return next((app for app in desktop if app is not None
                     and app.get_process_id() == process.pid), None)

    app = wait_for(application, "Pelorin on the accessibility bus")

    def window(name, holding=None):
        for child in app:
            if child is not None and child.getRoleName() == "frame" and child.name == name:
                if holding is None or find(child, *holding) is not None:
                    return child
        return None

    main = wait_for(lambda: window("Pelorin", ("push button", "Browse")), "the main window")
    main_field = wait_for(lambda: find(main, "text", "Select image folder:"), "the folder field")
    print("\n".join(["closed panel:"] + tree(app)))

    for role, name in MAIN_CONTROLS + [("push button", "Browse")]:
        node = find(main, role, name)
        check(node is not None, f"no {role} {name!r} in the main window")
        check(showing(pyatspi, node), f"{role} {name!r} not showing")
    for role, name in PANEL_CONTROLS:
        node = find(main, role, name)
        check(node is None or not showing(pyatspi, node),
              f"{role} {name!r} showing with the panel closed")
    about_button = find(main, "push button", "?")
    check(about_button.description == "About Pelorin",
          f"the about button's description is {about_button.description!r}")
    check(focused(pyatspi, main_field), "the folder field has not the focus at start")

    # A focus move is announced: Tab takes the focus to the Browse button,
    # and the screen reader hears of it.
    announced = []

    def focus_changed(event):
        if event.detail1:
            announced.append(f"{event.source.getRoleName()} {spoken(event.source)}")

    pyatspi.Registry.registerEventListener(focus_changed, "object:state-changed:focused")
    session.xdotool("key", "Tab")
    browse = find(main, "push button", "Browse")
    wait_for(lambda: pump_events() or "push button Browse" in announced,
             "the focus on Browse announced after Tab")
    pyatspi.Registry.deregisterEventListener(focus_changed, "object:state-changed:focused")
    print(f"focus announced after Tab: {announced}")
    check(focused(pyatspi, browse), "Browse has not the focus after Tab")
    check(not focused(pyatspi, main_field), "the folder field kept the focus")

    # The panel open: its lists carry their names; Browse became Cancel.
    press(browse)
    wait_for(lambda: find(main, "push button", "Cancel"), "the Cancel button")
    for role, name in PANEL_CONTROLS:
        node = wait_for(lambda: find(main, role, name), f"{role} {name!r}")
        wait_for(lambda: showing(pyatspi, node), f"{role} {name!r} showing")
    print("\n".join(["open panel:"] + tree(main)))
    for role, name in MAIN_CONTROLS:
        check(find(main, role, name) is not None, f"no {role} {name!r} with the panel open")

    # Closed again: the panel's controls leave the screen, the names stay.
    press(find(main, "push button", "Cancel"))
    wait_for(lambda: find(main, "push button", "Browse"), "the Browse button again")
    for role, name in PANEL_CONTROLS:
        node = find(main, role, name)
        wait_for(lambda: node is None or not showing(pyatspi, node), f"{role} {name!r} hidden")

    # The show: typed folder, started by a screen reader's press.
    x, y, width, height = main_field.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    session.click(x + width // 2, y + height // 2)
    wait_for(lambda: focused(pyatspi, main_field), "the focus in the folder field")
    session.type(str(samples))
    press(find(main, "push button", "Start Slide Show"))
    # The show's window is borderless and has no caption, and holds no button.
    show = wait_for(lambda: next((w for w in app if w is not None and w.getRoleName() == "frame"
                                  and w.name == "Pelorin" and find(w, "push button", "?") is None),
                                 None), "the show window")
    print("show window:\n" + describe(show))
    stop = wait_for(lambda: find(main, "push button", "Stop Slide Show"), "the stop button")
    press(stop)
    wait_for(lambda: find(main, "push button", "Start Slide Show"), "the show to stop")

    # The about window and its link.
    press(about_button)
    about = wait_for(lambda: window("About Pelorin"), "the about window")
    link = wait_for(lambda: find(about, "link", LINK_TEXT), "the link")
    check(showing(pyatspi, link), "the link is not showing")
    print("\n".join(["about window:"] + tree(about)))

    session.request_close(session.find_window("Pelorin"))
    check(session.wait_exit() == 0, "Pelorin did not end cleanly")


def main():
    program = str(pathlib.Path(sys.argv[1]).resolve())
    samples = pathlib.Path(sys.argv[2]).resolve()

    def overran(signum, frame):
        raise Timeout(f"the accessibility test ran over {WHOLE_TEST_SECONDS} s")

    signal.signal(signal.SIGALRM, overran)
    signal.alarm(WHOLE_TEST_SECONDS)
    session = XSession()
    bus = None
    try:
        bus = SessionBus(session.env)
        session.env.update(DBUS_SESSION_BUS_ADDRESS=bus.address, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        session.env.pop("AT_SPI_BUS_ADDRESS", None)
        # The reading side finds the same buses through its environment.
        for name in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"):
            os.environ[name] = session.env[name]
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        import pyatspi
        global RELATION_LABELLED_BY
        RELATION_LABELLED_BY = pyatspi.RELATION_LABELLED_BY
        run(session, pyatspi, program, samples)
        print("accessibility: ok")
    finally:
        signal.alarm(0)
        session.close()
        if bus:
            bus.close()


if __name__ == "__main__":
    main()
