#!/usr/bin/env python3
"""Tests of the packer: the archive it writes, and the manifests it refuses."""

import bz2
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

PACKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pack_payload.py")


def parse(archive):
    toc_end, count = struct.unpack_from("<QI", archive)
    offset, records = 12, []
    for _ in range(count):
        fields = []
        for _ in range(2):
            (length,) = struct.unpack_from("<I", archive, offset)
            fields.append(archive[offset + 4:offset + 4 + 2 * length].decode("utf-16-le"))
            offset += 4 + 2 * length
        kind, size, crc = struct.unpack_from("<IQI", archive, offset)
        offset += 16
        records.append((fields[0], fields[1], kind, size, crc))
    return toc_end, offset, records


class Packer(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = self.folder.name
        os.makedirs(os.path.join(self.root, "files", "sub"))
        self.write("files/a.txt", b"alpha")
        self.write("files/sub/empty.dat", b"")
        self.write("files/big.bin", bytes(range(256)) * 5000)

    def tearDown(self):
        self.folder.cleanup()

    def write(self, relative, data):
        with open(os.path.join(self.root, relative), "wb") as out:
            out.write(data)

    def pack(self, *lines):
        manifest = os.path.join(self.root, "test.manifest")
        with open(manifest, "w", encoding="utf-8") as out:
            out.write("# a comment\n\n" + "".join(line + "\n" for line in lines))
        output = os.path.join(self.root, "payload.bin")
        result = subprocess.run([sys.executable, PACKER, "--root", self.root, output, manifest],
                                capture_output=True, text=True)
        return result, output

    def packed(self, *lines):
        result, output = self.pack(*lines)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(output, "rb") as payload:
            return payload.read()

    def test_writes_the_archive_the_reader_expects(self):
        compressed = self.packed("files/a.txt\t<InstallPath>\\Lang\tlanguage_library",
                                 "files/sub/empty.dat\t<CommonData>\\Corvenna\\Veltrano 7\tuser_data",
                                 "files/big.bin\t<Temporary>\ttemporary")
        self.assertTrue(compressed.startswith(b"BZh9"))
        archive = bz2.decompress(compressed)
        toc_end, table_length, records = parse(archive)
        self.assertEqual(toc_end, table_length)
        self.assertEqual([record[:3] for record in records], [
            ("files\\a.txt", "<InstallPath>\\Lang", 0),
            ("files\\sub\\empty.dat", "<CommonData>\\Corvenna\\Veltrano 7", 3),
            ("files\\big.bin", "<Temporary>", 5)])
        offset = toc_end
        for source, _, _, size, crc in records:
            with open(os.path.join(self.root, source.replace("\\", os.sep)), "rb") as original:
                body = original.read()
            self.assertEqual(archive[offset:offset + size], body)
            self.assertEqual(crc, zlib.crc32(body))
            offset += size
        self.assertEqual(offset, len(archive))

    def test_packs_the_same_bytes_twice(self):
        line = "files/big.bin\t<InstallPath>\tprogram"
        self.assertEqual(self.packed(line), self.packed(line))

    def test_refuses_bad_manifests(self):
        cases = [
            ("files/a.txt\t<InstallPath>\tlibrary", "unknown kind"),
            ("files/missing.txt\t<InstallPath>\tprogram", "missing file"),
            ("files/a.txt\tC:\\Program Files\tprogram", "known placeholder"),
            ("files/a.txt\t<installpath>\tprogram", "known placeholder"),
            ("files/a.txt\tLang\\<InstallPath>\tprogram", "known placeholder"),
            ("files/a.txt\t<InstallPath>\\..\\x\tprogram", "leaves"),
            ("files/a.txt\t<InstallPath>", "separated by tabs"),
        ]
        for line, message in cases:
            with self.subTest(line=line):
                result, output = self.pack(line)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(message, result.stderr)
                self.assertIn("test.manifest:3", result.stderr)
                self.assertFalse(os.path.exists(output))

    def test_refuses_two_entries_for_one_target(self):
        self.write("files/sub/a.txt", b"other")
        self.write("files/sub/A.TXT", b"upper")
        for second in ("files/sub/a.txt\t<InstallPath>\\\tuninstaller", "files/sub/A.TXT\t<InstallPath>\tuninstaller"):
            with self.subTest(second=second):
                result, _ = self.pack("files/a.txt\t<InstallPath>\tprogram", second)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn("already written by", result.stderr)


if __name__ == "__main__":
    unittest.main()
