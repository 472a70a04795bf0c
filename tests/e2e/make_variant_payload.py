#!/usr/bin/env python3
"""Makes the damaged payloads of the end-to-end tests from a packed one.

  damage INPUT OUTPUT            alters 16 bytes three quarters into the bzip2 data
  wrong-crc INPUT OUTPUT INDEX   repacks the archive with the CRC of entry INDEX (from 0) altered
"""

import bz2
import struct
import sys


def damage(source, target):
    data = bytearray(open(source, "rb").read())
    at = len(data) * 3 // 4
    for i in range(at, at + 16):
        data[i] ^= 0xFF
    open(target, "wb").write(bytes(data))


def wrong_crc(source, target, index):
    archive = bytearray(bz2.decompress(open(source, "rb").read()))
    count = struct.unpack_from("<I", archive, 8)[0]
    if index >= count:
        raise SystemExit(f"make_variant_payload: the payload has {count} entries")
    offset = 12
    for number in range(count):
        for _ in range(2):
            length = struct.unpack_from("<I", archive, offset)[0]
            offset += 4 + 2 * length
        if number == index:
            crc_at = offset + 4 + 8
            archive[crc_at:crc_at + 4] = struct.pack("<I", struct.unpack_from("<I", archive, crc_at)[0] ^ 0xFFFFFFFF)
        offset += 4 + 8 + 4
    open(target, "wb").write(bz2.compress(bytes(archive), 9))


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "damage":
        damage(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 5 and sys.argv[1] == "wrong-crc":
        wrong_crc(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
