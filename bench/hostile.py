# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""What the hostile corpus's files cost to decode, for make bench and make
bench-windows: each file decoded once, in a program of its own, as the tick
decodes a picture nobody decoded ahead, beside a genuine picture of the
worst one's size and kind and the program's own peak with a small photo."""

import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
MAKE_CORPUS = os.path.join(HERE, "..", "scripts", "make-hostile-corpus")


def kind_of(path):
    """How the bench's generator names a picture of this file's kind."""
    with open(path, "rb") as source:
        data = source.read()
    if data[:3] == b"GIF":
        return "gif"
    frame = min((at for at in (data.find(b"\xff\xc0"), data.find(b"\xff\xc2")) if at >= 0),
                default=-1)
    return "progressive" if frame >= 0 and data[frame + 1] == 0xC2 else "baseline"


def measure(folder, decode, generate):
    """decode(path) runs the benchmark's "hostile" mode on a file and gives
    its figures; generate(kind, width, height, path) makes a genuine
    picture. Prints the table and gives its rows."""
    subprocess.run(["/usr/bin/python3", MAKE_CORPUS, folder], check=True,
                   stdout=subprocess.DEVNULL)
    with open(os.path.join(folder, "expected.tsv"), encoding="utf-8") as table:
        fates = [line.rstrip("\n").split("\t") for line in table if line.strip()]
    results = []
    for name, fate in fates:
        if fate in ("unlisted", "unreadable"):
            continue
        out = decode(os.path.join(folder, name))
        results.append((name, fate, float(out["decode_ms"]), float(out["peak_mb"])))
    baseline = next(peak for name, _, _, peak in results if name == "ok.jpg")
    name, fate, worst_ms, _ = max(results, key=lambda result: result[2])
    heaviest, _, _, peak = max(results, key=lambda result: result[3])
    reference = ""
    if fate.startswith("loads"):
        width, height = (int(side) for side in fate.split()[1:3])
        kind = kind_of(os.path.join(folder, name))
        genuine = os.path.join(folder, "..", f"genuine-{kind}-{width}x{height}")
        if not os.path.exists(genuine):
            generate(kind, width, height, genuine)
        reference = (f"{float(decode(genuine)['decode_ms']):.1f} ms, a genuine {kind} "
                     f"picture of {width} by {height}")
    print()
    print(f"| Hostile corpus ({len(results)} files), each decoded once | Figure | Beside it |")
    print("|---|---:|---|")
    print(f"| slowest: {name} | {worst_ms:.1f} ms | {reference} |")
    print(f"| largest peak: {heaviest} | {peak:.1f} MB | {baseline:.1f} MB with ok.jpg "
          f"(800 by 600): {peak - baseline:+.1f} MB |")
    return results
