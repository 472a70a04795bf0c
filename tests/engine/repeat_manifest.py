#!/usr/bin/env python3
"""Writes a manifest that packs the files of the given manifests COUNT times, every copy in a
folder of its own below <InstallPath>, for the payload reader's benchmark."""

import os
import sys


def main():
    if len(sys.argv) < 4:
        print("usage: repeat_manifest.py OUTPUT COUNT MANIFEST...", file=sys.stderr)
        return 2
    output, count, manifests = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
    lines = []
    for manifest in manifests:
        base = os.path.dirname(os.path.abspath(manifest))
        with open(manifest, encoding="utf-8") as source:
            for line in source:
                if line.strip() and not line.startswith("#"):
                    path, destination, kind = line.rstrip("\n").split("\t")
                    lines.append((os.path.join(base, path), destination, kind))
    with open(output, "w", encoding="utf-8") as out:
        for copy in range(1, count + 1):
            for path, destination, kind in lines:
                token, _, rest = destination.partition(">")
                folder = f"<InstallPath>\\copy {copy:02d}\\{token.lstrip('<')}{rest}"
                out.write(f"{path}\t{folder}\t{kind}\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
