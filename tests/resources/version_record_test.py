#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""Compiles the Windows resource script with the MinGW resource compiler
and reads the compiled resources back: the version record's fixed version,
its U.S. English Unicode string table with the program's names and
versions, its translation, and the icon group 1 with the three images of
pelorin.ico. It also compiles to the COFF object a MinGW build links.

usage: version_record_test.py RC-FILE PROGRAM-NAME PROJECT-VERSION RESOURCES-FOLDER
"""

import pathlib
import struct
import subprocess
import sys
import tempfile

WINDRES = "x86_64-w64-mingw32-windres"
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
US_ENGLISH, UNICODE = 0x0409, 1200
VS_FFI_SIGNATURE = 0xFEEF04BD
VFT_APP = 1


def fail(message):
    raise AssertionError(message)


def align4(offset):
    return (offset + 3) & ~3


def utf16z(data, offset):
    """A zero-terminated UTF-16 string and the offset after its terminator."""
    end = offset
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def resource_id(data, offset):
    """A resource type or name: an ordinal after 0xFFFF, or a string."""
    if struct.unpack_from("<H", data, offset)[0] == 0xFFFF:
        return struct.unpack_from("<H", data, offset + 2)[0], offset + 4
    return utf16z(data, offset)


def read_res(data):
    """The resources of a .res file as (type, name, language, data)."""
    resources = []
    offset = 0
    while offset < len(data):
        data_size, header_size = struct.unpack_from("<II", data, offset)
        kind, at = resource_id(data, offset + 8)
        name, at = resource_id(data, at)
        at = align4(at)
        _, _, language = struct.unpack_from("<IHH", data, at)
        body = data[offset + header_size:offset + header_size + data_size]
        # The file starts with an empty entry that only marks it as 32-bit.
        if (data_size, kind, name) != (0, 0, 0):
            resources.append((kind, name, language, body))
        offset = align4(offset + header_size + data_size)
    return resources


def read_block(data, offset):
    """A version record node: key, value and children. A text value
    (type 1) is counted in UTF-16 units, a binary one in bytes."""
    length, value_length, kind = struct.unpack_from("<HHH", data, offset)
    key, at = utf16z(data, offset + 6)
    at = align4(at)
    if kind == 1:
        value = data[at:at + 2 * value_length].decode("utf-16-le").rstrip("\0")
        at += 2 * value_length
    else:
        value = data[at:at + value_length]
        at += value_length
    children = []
    at = align4(at)
    while at < offset + length:
        child, at = read_block(data, at)
        children.append(child)
        at = align4(at)
    return {"key": key, "value": value, "children": children}, offset + length


def child(block, key):
    found = [c for c in block["children"] if c["key"] == key]
    if len(found) != 1:
        fail(f"{block['key']} holds {len(found)} blocks named {key!r}: "
             f"{[c['key'] for c in block['children']]}")
    return found[0]


def check_version(resources, program, project_version):
    records = [r for r in resources if r[0] == RT_VERSION]
    if [r[1] for r in records] != [1]:
        fail(f"expected one version record with id 1, found ids {[r[1] for r in records]}")
    root, _ = read_block(records[0][3], 0)
    if root["key"] != "VS_VERSION_INFO":
        fail(f"the version record is named {root['key']!r}")

    fixed = root["value"]
    (signature, _, file_ms, file_ls, product_ms, product_ls, _, _, _, file_type,
     _, _, _) = struct.unpack("<13I", fixed)
    if signature != VS_FFI_SIGNATURE:
        fail(f"the fixed file information has the signature {signature:#x}")
    parts = [int(p) for p in project_version.split(".")] + [0] * 4
    expected = ((parts[0] << 16) | parts[1], (parts[2] << 16) | parts[3])
    for what, found in (("file", (file_ms, file_ls)), ("product", (product_ms, product_ls))):
        if found != expected:
            fail(f"the fixed {what} version is {found[0] >> 16}.{found[0] & 0xFFFF}.{found[1] >> 16}."
                 f"{found[1] & 0xFFFF}, the project's {project_version}")
    if file_type != VFT_APP:
        fail(f"the file type is {file_type}, not an application")

    tables = child(root, "StringFileInfo")["children"]
    if [t["key"] for t in tables] != ["040904B0"]:
        fail(f"the string tables are {[t['key'] for t in tables]}; expected only 040904B0")
    strings = {s["key"]: s["value"] for s in tables[0]["children"]}
    expected_strings = {
        "FileVersion": "1.00",
        "ProductVersion": "1.00",
        "ProductName": "Project1",
        "InternalName": program,
        "OriginalFilename": program + ".exe",
    }
    for key, value in expected_strings.items():
        if strings.get(key) != value:
            fail(f"{key} is {strings.get(key)!r}, expected {value!r}")
    for key in ("CompanyName", "FileDescription"):
        if not strings.get(key, "").strip():
            fail(f"{key} is missing or empty")

    translation = child(child(root, "VarFileInfo"), "Translation")["value"]
    if translation != struct.pack("<HH", US_ENGLISH, UNICODE):
        fail(f"the translation is {translation.hex()}, expected U.S. English (0x0409) in code page 1200")
    for key, value in sorted(strings.items()):
        print(f"  {key} = {value}")
    print(f"version record: fixed version {project_version}, 040904B0, translation 0x0409 1200: ok")


def ico_images(ico):
    """(width, colour count, bits per pixel) and bytes of each image of an .ico."""
    _, _, count = struct.unpack_from("<HHH", ico, 0)
    images = []
    for i in range(count):
        width, _, colours, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i)
        images.append(((width, colours, bits), ico[offset:offset + size]))
    return images


def check_icon(resources, ico):
    groups = [r for r in resources if r[0] == RT_GROUP_ICON]
    if [g[1] for g in groups] != [1]:
        fail(f"expected one icon group with id 1, found ids {[g[1] for g in groups]}")
    icons = {r[1]: r[3] for r in resources if r[0] == RT_ICON}
    group = groups[0][3]
    reserved, kind, count = struct.unpack_from("<HHH", group, 0)
    if (reserved, kind, count) != (0, 1, 3) or len(icons) != 3:
        fail(f"the icon group lists {count} images (type {kind}); the resources hold {len(icons)}")
    listed = []
    for i in range(count):
        width, _, colours, _, _, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        image = icons.get(icon_id)
        if image is None or len(image) != size:
            fail(f"the group lists icon {icon_id} of {size} bytes, which the resources do not hold")
        bi_width, bi_bits = struct.unpack_from("<i", image, 4)[0], struct.unpack_from("<H", image, 14)[0]
        if (bi_width, bi_bits) != (width, bits):
            fail(f"icon {icon_id} is listed as {width} wide in {bits} bits and is {bi_width} in {bi_bits}")
        listed.append(((width, colours, bits), image))
    if sorted(listed) != sorted(ico_images(ico)):
        fail("the compiled icon images are not those of pelorin.ico")
    print(f"icon group 1: {', '.join(f'{w}x{w} in {c} colours' for (w, c, _), _ in listed)}: ok")


def check_coff(path):
    data = path.read_bytes()
    machine, sections = struct.unpack_from("<HH", data, 0)
    optional = struct.unpack_from("<H", data, 16)[0]
    names = [data[20 + optional + 40 * i:][:8].rstrip(b"\0").decode() for i in range(sections)]
    if machine != 0x8664 or not any(name.startswith(".rsrc") for name in names):
        fail(f"the COFF object is for machine {machine:#x} with sections {names}")
    print(f"COFF object: x86-64, sections {', '.join(names)}: ok")


def windres(rc, output, output_format):
    # Debian's MinGW binutils come without the MinGW compiler windres would
    # preprocess with; the script needs no Windows header, so the system's
    # C preprocessor does.
    result = subprocess.run([WINDRES, "--preprocessor=cpp", "-O", output_format, str(rc), str(output)],
                            capture_output=True, text=True, timeout=60)
    said = (result.stdout + result.stderr).strip()
    if result.returncode != 0 or said:
        fail(f"{WINDRES} exited with {result.returncode} and said:\n{said}")


def check_manifest(resources, project_version):
    """The program's manifest, resource 1: per-monitor DPI aware (v2, with
    v1 for older Windows), version 6 of the common controls, and the
    project's version."""
    found = [body for kind, name, _, body in resources if kind == RT_MANIFEST and name == 1]
    if len(found) != 1:
        fail(f"{len(found)} manifests with id 1")
    text = found[0].decode("utf-8")
    for needed in ("<dpiAwareness", "PerMonitorV2, PerMonitor", "true/pm",
                   'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"',
                   f'version="{project_version}.0"'):
        if needed not in text:
            fail(f"the manifest lacks {needed}")


def main():
    rc, program, project_version = pathlib.Path(sys.argv[1]), sys.argv[2], sys.argv[3]
    resources_folder = pathlib.Path(sys.argv[4])
    with tempfile.TemporaryDirectory() as scratch:
        res = pathlib.Path(scratch) / "pelorin.res"
        windres(rc, res, "res")
        resources = read_res(res.read_bytes())
        check_version(resources, program, project_version)
        check_manifest(resources, project_version)
        check_icon(resources, (resources_folder / "pelorin.ico").read_bytes())
        obj = pathlib.Path(scratch) / "pelorin.o"
        windres(rc, obj, "coff")
        check_coff(obj)


if __name__ == "__main__":
    main()
