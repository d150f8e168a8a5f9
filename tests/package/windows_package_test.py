#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""The Windows release as Windows Installer and a user meet it, under Wine.

usage: windows_package_test.py PACKAGE_SCRIPT BUILD_DIR VERSION

Packs BUILD_DIR/Pelorin.exe with PACKAGE_SCRIPT three times (VERSION, a
rebuild of VERSION, and the next patch version), reads the installers'
tables, then installs, starts, upgrades and removes them with msiexec in a
fresh Wine prefix and an X server of the test's own (BUILD_DIR/package-test:
the prefixes' template is made there once and kept), and runs the zip's
program from a read-only folder.

Run as root, the test moves into a mount namespace of its own, where a
read-only bind mount makes a folder read-only to root too.
"""

import os
import pathlib
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

from Xlib import X, display as xdisplay, protocol

HERE = pathlib.Path(__file__).resolve().parent
SCRIPTS = HERE.parent.parent / "scripts"
RESOURCES = HERE.parent.parent / "resources"
# Pelorin's for good: the installers of every version find each other by it.
UPGRADE_CODE = "{FA62E1B0-B684-4044-B70E-A7A0345549F3}"
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
# What Windows Installer itself keeps about what it installed; nothing else
# may appear in the registry.
INSTALLER_KEYS = (
    r"HKEY_LOCAL_MACHINE\Software\Classes\Installer",
    r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Installer",
)
# Wine's own settings, which Wine rewrites as it likes.
WINE_KEYS = r"HKEY_CURRENT_USER\Software\Wine"
NAMESPACE_MARK = "PELORIN_PACKAGE_TEST_NAMESPACE"
# msiexec's exit code for a failed install (here: a later version is there),
# ERROR_INSTALL_FAILURE cut to the 8 bits of a Unix exit code.
INSTALL_FAILURE = 1603 & 0xFF
# The libraries linked into the program, by source package and by the name
# their debian/copyright gives them, and the files of a release.
LIBRARIES = {"libjpeg-turbo": "libjpeg-turbo", "giflib": "giflib", "lcms2": "Little CMS"}
LIBRARY_LICENSES = sorted(f"LICENSE-{package}.txt" for package in LIBRARIES)
PROGRAM_FILES = sorted(["LICENSE.txt", "Pelorin.exe"] + LIBRARY_LICENSES)

package_script = build_dir = version = None


def run(command, timeout=120, **options):
    return subprocess.run([str(part) for part in command], capture_output=True, text=True,
                          timeout=timeout, **options)


def under(key, roots):
    return any(key == root or key.startswith(root + "\\") for root in roots)


def listing(folder):
    return sorted((p.name, p.stat().st_size, p.stat().st_mtime_ns) for p in folder.iterdir())


def msi_table(msi, table):
    """The rows of an installer's table, as dicts by column name."""
    lines = run(["msiinfo", "export", msi, table]).stdout.splitlines()
    names = lines[0].split("\t")
    return [dict(zip(names, line.split("\t"))) for line in lines[3:]]


def summary(msi):
    text = run(["msiinfo", "suminfo", msi]).stdout
    return dict(line.split(": ", 1) for line in text.splitlines() if ": " in line)


def properties(msi):
    return {row["Property"]: row["Value"] for row in msi_table(msi, "Property")}


def packed(code):
    """A product or upgrade code as Windows Installer's registry keys spell it."""
    digits = code.strip("{}").replace("-", "")
    swapped = "".join(digits[i + 1] + digits[i] for i in range(16, 32, 2))
    return digits[7::-1] + digits[11:7:-1] + digits[15:11:-1] + swapped


def shell_link(path):
    """Target, working folder and icon of a .lnk file (Microsoft's shell link
    format: a header, an item list, the link information, then counted
    strings)."""
    data = pathlib.Path(path).read_bytes()
    flags, = struct.unpack_from("<I", data, 20)
    link = {"icon_index": struct.unpack_from("<i", data, 56)[0]}
    at = 76
    if flags & 0x1:  # an item list
        at += 2 + struct.unpack_from("<H", data, at)[0]
    if flags & 0x2:  # link information, with the target's local path
        size, _, info_flags, _, local = struct.unpack_from("<5I", data, at)
        if info_flags & 0x1:
            link["target"] = data[at + local:data.index(b"\0", at + local)].decode("latin-1")
        at += size
    for bit, name in ((0x4, "description"), (0x8, "relative_path"), (0x10, "working_folder"),
                      (0x20, "arguments"), (0x40, "icon")):
        if flags & bit:
            count, = struct.unpack_from("<H", data, at)
            at += 2
            width = 2 if flags & 0x80 else 1
            text = data[at:at + count * width].decode("utf-16-le" if width == 2 else "latin-1")
            # Wine counts the terminating nul in; Windows does not.
            link[name] = text.rstrip("\0")
            at += count * width
    return link


class Packages:
    """The installers and the zip of one test run."""

    def __init__(self, folder):
        self.folder = folder
        major, minor, patch = (int(part) for part in version.split("."))
        self.later_version = f"{major}.{minor}.{patch + 1}"
        self.msi = self.build(version, "first")
        self.rebuilt_msi = self.build(version, "rebuilt")
        self.later_msi = self.build(self.later_version, "later")
        self.zip = self.msi.with_suffix(".zip")

    def all(self):
        return (self.msi, self.rebuilt_msi, self.later_msi)

    def build(self, build_version, tag):
        out = self.folder / tag
        command = [package_script, "--out", out, build_dir]
        if tag == "later":
            command[1:1] = ["--version", build_version]
        result = run(command)
        if result.returncode != 0:
            raise AssertionError(f"{package_script} failed:\n{result.stderr}")
        return out / f"Pelorin-{build_version}-x64.msi"


class Prefix:
    """A fresh Wine prefix of the test's own, with its X server."""

    def __init__(self, run_dir):
        self.run_dir = run_dir
        result = run([SCRIPTS / "wine-prefix", "start", run_dir], timeout=300)
        if result.returncode != 0:
            raise AssertionError(f"wine-prefix start failed:\n{result.stderr}")
        self.root = run_dir / "prefix-96"
        self.drive_c = self.root / "drive_c"
        self.env = dict(os.environ, PELORIN_WINE_DPI="96",
                        DISPLAY=(run_dir / "display").read_text().strip())
        self.x = xdisplay.Display(self.env["DISPLAY"])
        self.program_folder = self.drive_c / "Program Files" / "Pelorin"
        # Where Start-menu entries can go: every user's, and this user's.
        # Windows puts a per-machine install's in every user's; Wine's
        # Windows Installer puts every shortcut in the user's own.
        users = [p for p in (self.drive_c / "users").iterdir() if p.name != "Public"]
        self.menus = [self.drive_c / "ProgramData/Microsoft/Windows/Start Menu/Programs"] + [
            user / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs" for user in users]

    def stop(self):
        self.x.close()
        run([SCRIPTS / "wine-prefix", "stop", self.run_dir], timeout=120)

    def wine(self, *arguments, timeout=120):
        return run([SCRIPTS / "wine-run", "--run", self.run_dir, *arguments], env=self.env,
                   timeout=timeout)

    def windows_path(self, path):
        return "C:\\" + str(pathlib.Path(path).relative_to(self.drive_c)).replace("/", "\\")

    def unix_path(self, windows_path):
        drive, rest = windows_path.split(":\\", 1)
        if drive.upper() != "C":
            raise AssertionError(f"{windows_path} is not on drive C:")
        return self.drive_c / rest.replace("\\", "/")

    def msiexec(self, *arguments):
        return self.wine("msiexec", *arguments, "/qn").returncode

    def install(self, msi):
        return self.msiexec("/i", "Z:" + str(msi).replace("/", "\\"))

    def uninstall(self, entry):
        """As Apps and Features does: the entry's own command, silent."""
        command = entry["UninstallString"].split()
        if command[0].lower() != "msiexec.exe":
            raise AssertionError(f"uninstall command {entry['UninstallString']!r}")
        return self.msiexec(*command[1:])

    # The registry -----------------------------------------------------------

    def query(self, key):
        """Every key under `key` with its values: {key: {name: data}}."""
        result = self.wine("reg", "query", key, "/s")
        keys, current = {}, None
        for line in result.stdout.splitlines():
            if line.startswith("HKEY_"):
                current = keys.setdefault(line.strip(), {})
            elif current is not None and line.startswith("    "):
                name, _, data = (line.strip().split("    ", 2) + ["", ""])[:3]
                current[name] = data
        return keys

    def uninstall_entries(self):
        """Apps and Features' entries for Pelorin, by product code."""
        return {key.rsplit("\\", 1)[1]: values for key, values in self.query(UNINSTALL).items()
                if values.get("DisplayName") == "Pelorin"}

    def software_keys(self):
        """The machine's and the user's software settings: {key: set of
        name=data lines}."""
        keys = {}
        for root in ("HKLM\\Software", "HKCU\\Software"):
            with tempfile.TemporaryDirectory() as folder:
                out = pathlib.Path(folder) / "export.reg"
                self.wine("reg", "export", root, "Z:" + str(out).replace("/", "\\"), "/y")
                text = out.read_text(encoding="utf-16")
            current = None
            for line in text.splitlines():
                if line.startswith("[") and line.endswith("]"):
                    current = keys.setdefault(line[1:-1], set())
                elif current is not None and line:
                    current.add(line)
        return {key: values for key, values in keys.items() if not under(key, [WINE_KEYS])}

    # What the user sees -----------------------------------------------------

    def shortcuts(self):
        return [menu / "Pelorin.lnk" for menu in self.menus if (menu / "Pelorin.lnk").exists()]

    def files(self):
        """Every file and folder of drive C: as (path, size), but those of
        Windows itself, save the installer's cache in Windows\\Installer."""
        found = set()
        for folder, subfolders, names in os.walk(self.drive_c):
            relative = pathlib.Path(folder).relative_to(self.drive_c)
            if relative == pathlib.Path("windows"):
                subfolders[:] = ["Installer"]
            for name in names + subfolders:
                path = pathlib.Path(folder) / name
                found.add((str(relative / name), path.stat().st_size if path.is_file() else -1))
        return found

    def run_program(self, *command, cwd):
        """Starts a program, waits for its window "Pelorin", closes it as the
        window's close box does and returns the program's exit code."""
        output = tempfile.TemporaryFile(mode="w+")
        program = subprocess.Popen([SCRIPTS / "wine-run", "--run", self.run_dir, *command],
                                   cwd=cwd, env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=output, stderr=subprocess.STDOUT)
        with output:
            try:
                window = self.find_window("Pelorin", program)
                self.request_close(window)
                code = program.wait(timeout=20)
            finally:
                # wine-run ends the Windows process when it is told to end.
                if program.poll() is None:
                    program.terminate()
                    program.wait()
            output.seek(0)
            return code, output.read()

    def find_window(self, title, program, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if program.poll() is not None:
                raise AssertionError(f"the program ended with {program.returncode} before its "
                                     f"window {title!r} showed")
            found = run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                        env=self.env).stdout.split()
            if found:
                return int(found[-1])
            time.sleep(0.05)
        raise AssertionError(f"no window {title!r} within {timeout} s")

    def request_close(self, window):
        """WM_DELETE_WINDOW: what the close box of Wine's frame sends."""
        target = self.x.create_resource_object("window", window)
        event = protocol.event.ClientMessage(
            window=target, client_type=self.x.intern_atom("WM_PROTOCOLS"),
            data=(32, [self.x.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
        target.send_event(event)
        self.x.sync()


class WindowsPackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = pathlib.Path(tempfile.mkdtemp(prefix="package-test.", dir=build_dir))
        cls.addClassCleanup(shutil.rmtree, cls.work, ignore_errors=True)
        cls.packages = Packages(cls.work)
        cls.prefix = Prefix(pathlib.Path(build_dir) / "package-test" / "wine-run")
        cls.addClassCleanup(cls.prefix.stop)
        cls.clean_keys = cls.prefix.software_keys()
        cls.clean_files = cls.prefix.files()

    def tearDown(self):
        # Whatever a failed case left installed goes, so the next one starts
        # from a machine without Pelorin.
        for entry in self.prefix.uninstall_entries().values():
            self.prefix.uninstall(entry)

    # Checks -----------------------------------------------------------------

    def assert_installed(self, expected_version, msi, registry=False):
        prefix = self.prefix
        entries = prefix.uninstall_entries()
        self.assertEqual(len(entries), 1, f"Pelorin in Apps and Features: {entries}")
        code, entry = next(iter(entries.items()))
        self.assertEqual(code, properties(msi)["ProductCode"], "the entry is not this installer's")
        self.assertEqual(entry["DisplayVersion"], expected_version)
        self.assertEqual(entry["Publisher"], "Pelorin Works")
        self.assertEqual(entry["UninstallString"], f"MsiExec.exe /X{code}")
        # Apps and Features shows an installer's product icon from here.
        product_key = rf"HKEY_LOCAL_MACHINE\Software\Classes\Installer\Products\{packed(code)}"
        product = prefix.query(product_key).get(product_key, {})
        self.assertIn("ProductIcon", product, "Windows Installer keeps no icon for Pelorin")
        icon = prefix.unix_path(product["ProductIcon"])
        self.assertEqual(icon.read_bytes(), (RESOURCES / "pelorin.ico").read_bytes())

        program = prefix.program_folder / "Pelorin.exe"
        self.assertEqual(sorted(p.name for p in prefix.program_folder.iterdir()), PROGRAM_FILES)
        with zipfile.ZipFile(self.packages.zip) as portable:
            for name in ["Pelorin.exe"] + LIBRARY_LICENSES:
                self.assertEqual((prefix.program_folder / name).read_bytes(), portable.read(name),
                                 f"the installed {name} is not the one of the release")

        shortcuts = prefix.shortcuts()
        self.assertEqual(len(shortcuts), 1, f"Start-menu entries: {shortcuts}")
        link = shell_link(shortcuts[0])
        self.assertEqual(link["target"], prefix.windows_path(program))
        self.assertEqual(link["working_folder"].rstrip("\\"),
                         prefix.windows_path(prefix.program_folder))
        self.assertEqual(prefix.unix_path(link["icon"]), icon)

        if not registry:
            return code, entry
        # Nothing but what Windows Installer keeps about its products. (One
        # look at the whole registry takes seconds under Wine: the cases
        # that install again see what is left once all is removed.)
        keys = prefix.software_keys()
        uninstall_key = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion" \
            rf"\Uninstall\{code}"
        written = {key for key in keys if keys[key] != self.clean_keys.get(key)}
        self.assertEqual({key for key in written if key != uninstall_key
                          and not under(key, INSTALLER_KEYS)}, set())
        return code, entry

    def assert_removed(self):
        prefix = self.prefix
        self.assertEqual(prefix.uninstall_entries(), {})
        self.assertEqual(prefix.shortcuts(), [])
        self.assertFalse(prefix.program_folder.exists(), "the program's folder is left")
        keys = prefix.software_keys()
        # The first install makes Windows Installer's own empty folders of
        # keys, which Windows has from the start; they stay.
        changed = {key for key in keys.keys() | self.clean_keys.keys()
                   if keys.get(key) != self.clean_keys.get(key)}
        self.assertEqual({key for key in changed if key in self.clean_keys or keys[key]
                          or not under(key, INSTALLER_KEYS)}, set(),
                         "registry keys left or changed")
        codes = [packed(properties(msi)["ProductCode"]) for msi in self.packages.all()]
        self.assertEqual([key for key in keys if any(code in key for code in codes)
                          or packed(UPGRADE_CODE) in key], [], "Pelorin's keys left")
        self.assertEqual(prefix.files() ^ self.clean_files, set(), "files left or removed")

    # Cases -------------------------------------------------------------------

    def test_installer_names_pelorin_and_writes_only_its_files(self):
        for msi, expected_version in ((self.packages.msi, version),
                                      (self.packages.rebuilt_msi, version),
                                      (self.packages.later_msi, self.packages.later_version)):
            with self.subTest(msi=msi.name, build=msi.parent.name):
                info = summary(msi)
                self.assertEqual(info["Subject"], "Pelorin")
                self.assertEqual(info["Author"], "Pelorin Works")
                self.assertEqual(info["Template"], "x64;1033")
                props = properties(msi)
                self.assertEqual(props["ProductName"], "Pelorin")
                self.assertEqual(props["ProductVersion"], expected_version)
                self.assertEqual(props["Manufacturer"], "Pelorin Works")
                self.assertEqual(props["UpgradeCode"], UPGRADE_CODE)
                self.assertEqual(props["ALLUSERS"], "1")
                self.assertEqual(props["ARPPRODUCTICON"], "pelorin.ico")
                self.assertEqual(msi_table(msi, "Registry"), [])
                self.assertEqual(sorted(row["FileName"] for row in msi_table(msi, "File")),
                                 PROGRAM_FILES)
                shortcut, = msi_table(msi, "Shortcut")
                self.assertEqual((shortcut["Directory_"], shortcut["Name"], shortcut["Target"]),
                                 ("ProgramMenuFolder", "Pelorin", "[#Pelorin.exe]"))
        codes = {properties(msi)["ProductCode"] for msi in self.packages.all()}
        self.assertEqual(len(codes), 3, "two builds share a product code")

    def test_install_start_and_uninstall(self):
        prefix = self.prefix
        self.assertEqual(prefix.install(self.packages.msi), 0)
        _, entry = self.assert_installed(version, self.packages.msi, registry=True)

        # As its Start-menu entry starts it. (Wine's `start /wait` of a .lnk
        # returns at once, without the program's exit code.)
        link = shell_link(prefix.shortcuts()[0])
        self.assertNotIn("arguments", link)
        code, output = prefix.run_program(link["target"],
                                          cwd=prefix.unix_path(link["working_folder"]))
        self.assertEqual(code, 0, output)

        self.assertEqual(prefix.uninstall(entry), 0)
        self.assert_removed()

    def test_second_install_of_a_version_keeps_one_entry(self):
        prefix = self.prefix
        self.assertEqual(prefix.install(self.packages.msi), 0)
        self.assertEqual(prefix.install(self.packages.msi), 0)
        self.assert_installed(version, self.packages.msi)
        # A rebuild of the same version is another product to Windows
        # Installer: it replaces the first.
        self.assertEqual(prefix.install(self.packages.rebuilt_msi), 0)
        _, entry = self.assert_installed(version, self.packages.rebuilt_msi)
        self.assertEqual(prefix.uninstall(entry), 0)
        self.assert_removed()

    def test_later_version_replaces_and_earlier_is_refused(self):
        prefix = self.prefix
        self.assertEqual(prefix.install(self.packages.msi), 0)
        self.assertEqual(prefix.install(self.packages.later_msi), 0)
        self.assert_installed(self.packages.later_version, self.packages.later_msi)
        self.assertEqual(prefix.install(self.packages.msi), INSTALL_FAILURE)
        _, entry = self.assert_installed(self.packages.later_version, self.packages.later_msi)
        self.assertEqual(prefix.uninstall(entry), 0)
        self.assert_removed()

    def test_uninstall_after_the_program_was_deleted(self):
        prefix = self.prefix
        self.assertEqual(prefix.install(self.packages.msi), 0)
        _, entry = self.assert_installed(version, self.packages.msi)
        (prefix.program_folder / "Pelorin.exe").unlink()
        self.assertEqual(prefix.uninstall(entry), 0)
        self.assert_removed()

    def test_zip_runs_from_a_read_only_folder(self):
        prefix = self.prefix
        unpacked = self.work / "unpacked"
        folder = prefix.drive_c / "Portable Pelorin"
        with zipfile.ZipFile(self.packages.zip) as portable:
            self.assertEqual(sorted(portable.namelist()), sorted(PROGRAM_FILES + ["README.txt"]))
            portable.extractall(unpacked)
        readme = (unpacked / "README.txt").read_bytes().decode()
        self.assertIn(f"Pelorin {version}", readme)
        self.assertIn("\r\n", readme, "README.txt is not in Windows' line ends")
        self.assertTrue((unpacked / "LICENSE.txt").read_text().startswith("MIT License"))
        # Each library's licence as its Debian source package states it, for
        # Notepad, and named in README.txt.
        for package, upstream in LIBRARIES.items():
            with self.subTest(library=package):
                name = f"LICENSE-{package}.txt"
                text = (unpacked / name).read_bytes().decode()
                self.assertTrue(text.startswith("Format: https://www.debian.org/doc/"
                                                "packaging-manuals/copyright-format/"), text[:200])
                self.assertIn(f"\r\nUpstream-Name: {upstream}\r\n", text)
                self.assertIn("\r\nLicense: ", text)
                self.assertNotIn("\n", text.replace("\r\n", ""), f"{name} is not in CR LF")
                self.assertIn(name, readme.replace("\r\n", " "))
        folder.mkdir()
        mounted = False
        try:
            if os.geteuid() == 0:
                if os.environ.get(NAMESPACE_MARK) != "1":
                    self.skipTest("root outside a mount namespace: no folder is read-only to root")
                subprocess.run(["mount", "--bind", "-o", "ro", unpacked, folder], check=True)
                mounted = True
            else:
                shutil.copytree(unpacked, folder, dirs_exist_ok=True)
                for path in folder.iterdir():
                    path.chmod(0o444 if path.is_file() else 0o555)
                folder.chmod(0o555)
            with self.assertRaises(OSError, msg="the folder is not read-only"):
                (folder / "probe").write_text("")
            before = listing(folder)
            files = prefix.files()
            keys = prefix.software_keys()

            code, output = prefix.run_program(prefix.windows_path(folder / "Pelorin.exe"),
                                              cwd=folder)
            self.assertEqual(code, 0, output)
            self.assertEqual(listing(folder), before)
            # It wrote nothing anywhere: no file, no setting.
            self.assertEqual(prefix.files() ^ files, set())
            self.assertEqual(prefix.software_keys(), keys)
        finally:
            if mounted:
                subprocess.run(["umount", folder], check=True)
            else:
                folder.chmod(0o755)
            shutil.rmtree(folder)


def in_own_namespace():
    """Re-runs this test as root in a mount namespace of its own, where it
    can mount a folder read-only; False where namespaces are not allowed."""
    if os.geteuid() != 0 or os.environ.get(NAMESPACE_MARK) == "1":
        return False
    if subprocess.run(["unshare", "--mount", "--propagation", "private", "true"],
                      capture_output=True).returncode != 0:
        return False
    env = dict(os.environ, **{NAMESPACE_MARK: "1"})
    os.execvpe("unshare", ["unshare", "--mount", "--propagation", "private", sys.executable,
                           *sys.argv], env)
    return True


def main():
    global package_script, build_dir, version
    if len(sys.argv) != 4:
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    in_own_namespace()
    package_script, build_dir, version = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3]
    if not re.fullmatch(r"\d+\.\d+\.\d+", version):
        print(f"windows_package_test: version {version!r} is not X.Y.Z", file=sys.stderr)
        return 2
    began = time.monotonic()
    result = unittest.main(argv=[sys.argv[0], "-v"], exit=False).result
    print(f"Windows package test: {time.monotonic() - began:.1f} s", file=sys.stderr)
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
