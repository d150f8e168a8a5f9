#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""Without a display Pelorin says so in one line and how to run it anyway.

usage: no_display_test.py PELORIN RUN-SCRIPT
"""

import os
import subprocess
import sys


def run(command, **env_changes):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(env_changes)
    result = subprocess.run(command, env=env, capture_output=True, text=True, timeout=30)
    lines = (result.stdout + result.stderr).strip().splitlines()
    if result.returncode == 0:
        raise AssertionError(f"{command} succeeded without a display")
    if len(lines) != 1 or "xvfb-run" not in lines[0]:
        raise AssertionError(f"{command} said:\n" + "\n".join(lines))
    print(lines[0])


def main():
    program, script = sys.argv[1], sys.argv[2]
    run([program])
    run([program], DISPLAY=":4097")  # set, but nothing listens there
    run([script, program])
    run([script, program], DISPLAY=":4097")
    print("no display: ok")


if __name__ == "__main__":
    main()
