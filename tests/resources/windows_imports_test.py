#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""Reads the import table of each Windows program with objdump: it may
name only DLLs every Windows has. A DLL of the C++ runtime, of winpthread
or of a picture library there means the program does not start on a
Windows without it: they are all to be linked in.

usage: windows_imports_test.py OBJDUMP PROGRAM.exe...
"""

import pathlib
import re
import subprocess
import sys

# Windows' own DLLs, as a program built with mingw-w64 imports them
# (msvcrt.dll is Windows' C library).
SYSTEM_DLLS = {
    "advapi32.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll", "dwmapi.dll",
    "gdi32.dll", "gdiplus.dll", "imm32.dll", "kernel32.dll", "mpr.dll", "msvcrt.dll",
    "ntdll.dll", "ole32.dll", "oleaut32.dll", "powrprof.dll", "rpcrt4.dll", "shcore.dll",
    "shell32.dll", "shlwapi.dll", "user32.dll", "userenv.dll", "uxtheme.dll", "version.dll",
    "windowscodecs.dll", "winmm.dll", "ws2_32.dll",
}


def imports(objdump, program):
    result = subprocess.run([objdump, "-p", program], capture_output=True, text=True, timeout=60)
    if result.returncode != 0:
        raise AssertionError(f"{objdump} -p {program} failed:\n{result.stderr}")
    return re.findall(r"^\s*DLL Name: (\S+)$", result.stdout, re.MULTILINE)


def main():
    if len(sys.argv) < 3:
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    objdump, programs = sys.argv[1], sys.argv[2:]
    failed = False
    for program in programs:
        names = imports(objdump, program)
        foreign = sorted(name for name in names if name.lower() not in SYSTEM_DLLS)
        print(f"{pathlib.Path(program).name}: {', '.join(names)}")
        if not names:
            print(f"  no import table read from {program}", file=sys.stderr)
            failed = True
        if foreign:
            print(f"  imports DLLs Windows does not have: {', '.join(foreign)}", file=sys.stderr)
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
