#!/usr/bin/env python3
"""Packs the files that manifests name into the installer's payload: a bzip2 stream of the archive.

Manifest: one entry a line, three fields separated by tabs: source file, destination folder
(beginning with a placeholder such as <InstallPath>), kind (language_library, program,
uninstaller, user_data, sample, temporary). Blank lines and lines starting with '#' are skipped.
Relative sources are taken from the manifest's folder; the archive records each source relative
to --root, so the payload does not depend on where it was built.
"""

import argparse
import bz2
import os
import struct
import sys
import zlib

KINDS = {
    "language_library": 0,
    "program": 1,
    "uninstaller": 2,
    "user_data": 3,
    "sample": 4,
    "temporary": 5,
}

TOKENS = (
    "<InstallPath>", "<SamplePath>", "<ProgramFiles>", "<ProgramCommon>", "<CommonData>",
    "<UserData>", "<CommonDocuments>", "<Documents>", "<CommonDesktop>", "<Desktop>",
    "<WinDir>", "<System>", "<Temporary>",
)

BLOCK = 1 << 20


class ManifestError(Exception):
    pass


def read_manifests(paths):
    entries = []
    targets = {}
    for path in paths:
        entries += read_manifest(path, targets)
    return entries


def read_manifest(path, targets):
    base = os.path.dirname(os.path.abspath(path))
    entries = []
    with open(path, encoding="utf-8") as manifest:
        for number, line in enumerate(manifest, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            where = f"{path}:{number}"
            fields = line.split("\t")
            if len(fields) != 3:
                raise ManifestError(f"{where}: expected source, destination and kind separated by tabs")
            source, destination, kind = (field.strip() for field in fields)
            if kind not in KINDS:
                raise ManifestError(f"{where}: unknown kind '{kind}' (one of {', '.join(KINDS)})")
            destination = destination.replace("/", "\\")
            first = destination.split("\\", 1)[0]
            if first not in TOKENS:
                raise ManifestError(f"{where}: destination '{destination}' does not begin with a known placeholder")
            if ".." in destination.split("\\"):
                raise ManifestError(f"{where}: destination '{destination}' leaves its placeholder's folder")
            source = os.path.join(base, source)
            if not os.path.isfile(source):
                raise ManifestError(f"{where}: missing file '{source}'")
            target = (destination.rstrip("\\") + "\\" + os.path.basename(source)).lower()
            if target in targets:
                raise ManifestError(f"{where}: '{target}' is already written by {targets[target]}")
            targets[target] = where
            entries.append((source, destination.rstrip("\\"), KINDS[kind]))
    return entries


def utf16(text):
    data = text.encode("utf-16-le")
    return struct.pack("<I", len(data) // 2) + data


def file_crc(path):
    crc = 0
    with open(path, "rb") as body:
        while chunk := body.read(BLOCK):
            crc = zlib.crc32(chunk, crc)
    return crc


def recorded_source(path, root):
    relative = os.path.relpath(path, root) if root else path
    return relative.replace("/", "\\")


def pack(entries, output, root):
    records = []
    for source, destination, kind in entries:
        records.append(utf16(recorded_source(source, root)) + utf16(destination)
                       + struct.pack("<IQI", kind, os.path.getsize(source), file_crc(source)))
    toc_end = 12 + sum(len(record) for record in records)
    compressor = bz2.BZ2Compressor(9)
    length = toc_end
    with open(output + ".tmp", "wb") as out:
        out.write(compressor.compress(struct.pack("<QI", toc_end, len(records)) + b"".join(records)))
        for source, _, _ in entries:
            with open(source, "rb") as body:
                while chunk := body.read(BLOCK):
                    length += len(chunk)
                    out.write(compressor.compress(chunk))
        out.write(compressor.flush())
    os.replace(output + ".tmp", output)
    return toc_end, length


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help="the payload file that the resource script embeds")
    parser.add_argument("manifests", nargs="+", help="manifests, packed one after the other")
    parser.add_argument("--root", help="folder that recorded source paths are relative to")
    args = parser.parse_args()
    try:
        entries = read_manifests(args.manifests)
    except (ManifestError, OSError, UnicodeDecodeError) as error:
        print(f"pack_payload: {error}", file=sys.stderr)
        return 1
    toc_end, length = pack(entries, args.output, args.root)
    print(f"pack_payload: {len(entries)} entries, table {toc_end} bytes, archive {length} bytes, "
          f"payload {os.path.getsize(args.output)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
