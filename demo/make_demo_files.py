#!/usr/bin/env python3
"""Generates the demo product's data files and the manifest lines that pack them.

Everything is drawn from fixed seeds, so two runs write the same bytes: libraries and material
definitions are text, textures and the user image are noisy bitmaps that compress poorly, the
DirectX cabinets are incompressible.
"""

import os
import random
import struct
import sys

COMMON = "<CommonData>\\Corvenna\\Veltrano 7"
MATERIALS = "<CommonData>\\Corvenna\\Materials"
USER = "<UserData>\\Corvenna\\Veltrano 7"
TEXTURES = "<CommonData>\\Corvenna\\Textures\\Veltrano 7"
SAMPLES = "<SamplePath>"
TEMPORARY = "<Temporary>"

WORDS = ("chair table shelf lamp door window beam wall floor stair roof column panel frame "
         "cabinet sofa bench desk rail glass oak pine walnut steel brass copper linen wool "
         "marble granite slate tile brick plaster concrete paint gloss matte satin").split()

MATERIAL_NAMES = ("Wood Stone Metal Glass Fabric Paint Tiles Concrete Plastic Leather Ground Water").split()

# The product libraries in the all-users data folder: (file name, size in bytes).
LIBRARIES = [
    ("Objects.vlb", 3_180_000), ("Furniture.vlb", 2_700_000), ("Plants.vlb", 1_900_000),
    ("Lights.vlb", 950_000), ("Styles.vlb", 420_000), ("Presets.xml", 64_000),
]


def text_library(rng, size, name):
    lines = [f"; Veltrano 7 object library {name}\n"]
    length = len(lines[0])
    number = 0
    while length < size:
        number += 1
        words = " ".join(rng.choice(WORDS) for _ in range(rng.randint(2, 5)))
        line = (f"object {number:06d} \"{words}\" size {rng.uniform(0.1, 9.9):.3f} {rng.uniform(0.1, 9.9):.3f} "
                f"{rng.uniform(0.1, 4.0):.3f} material {rng.choice(MATERIAL_NAMES)}/{rng.randint(1, 80):02d}\n")
        lines.append(line)
        length += len(line)
    return "".join(lines).encode("ascii")[:size]


def material_file(rng, size, name):
    lines = [f"; Veltrano 7 material definitions: {name}\n"]
    length = len(lines[0])
    number = 0
    while length < size:
        number += 1
        line = (f"material \"{name} {number:03d}\" {{ diffuse {rng.random():.4f} {rng.random():.4f} "
                f"{rng.random():.4f}; specular {rng.random():.3f}; roughness {rng.random():.3f}; "
                f"texture \"{name.lower()}_{rng.randint(1, 16):02d}.bmp\"; scale {rng.uniform(0.2, 4):.2f}; }}\n")
        lines.append(line)
        length += len(line)
    return "".join(lines).encode("ascii")[:size]


def bitmap(rng, width, height, noise):
    """A 24-bit bottom-up bitmap: a soft gradient under coarse noise."""
    row_size = (width * 3 + 3) & ~3
    pixels = bytearray()
    levels = bytes(min(255, (value // noise) * noise) for value in range(256))
    for y in range(height):
        row = bytearray(rng.randbytes(width * 3).translate(levels))
        shade = (y * 255) // max(1, height - 1)
        row[0::3] = bytes((value + shade) & 0xFF for value in row[0::3])
        pixels += row + bytes(row_size - width * 3)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def catalog(rng, size):
    records = bytearray(b"VCAT\x07\x04")
    while len(records) < size:
        records += struct.pack("<IHHf", rng.randrange(1 << 32), rng.randrange(64), rng.randrange(4096), rng.random())
    return bytes(records[:size])


def sample_project(rng, size, number):
    head = (f"VELTRANO PROJECT 7.04\nname=Sample {number:02d}\nunits=metric\nlevels={rng.randint(1, 4)}\n"
            "[objects]\n").encode("ascii")
    body = text_library(rng, size // 2, f"sample {number:02d}")
    preview = rng.randbytes(size - len(head) - len(body))
    return head + body + preview


def settings():
    return ("[General]\nLanguage=auto\nUnits=metric\nAutosave=10\n[Display]\nAntialias=1\nShadows=1\n"
            "[Paths]\nLibraries=%CommonData%\\Corvenna\\Veltrano 7\n").encode("ascii")


def seeded(name):
    """Each file draws from its own seed, so changing one leaves the others as they were."""
    return random.Random(f"veltrano-7.04d:{name}")


def files():
    for name, size in LIBRARIES:
        yield name, COMMON, "user_data", text_library(seeded(name), size, name)
    yield "Catalog.idx", COMMON, "user_data", catalog(seeded("Catalog.idx"), 260_000)
    for number, name in enumerate(MATERIAL_NAMES):
        yield f"{name}.vmt", MATERIALS, "user_data", material_file(seeded(name), 200_000 + 17_000 * number, name)
    yield "UserLibrary.vlb", USER, "user_data", text_library(seeded("UserLibrary.vlb"), 24_000, "user")
    yield "Settings.ini", USER, "user_data", settings()
    yield "UserImage.bmp", USER, "user_data", bitmap(seeded("UserImage.bmp"), 480, 360, 8)
    for number in range(1, 13):
        name = f"Sample {number:02d}.vtp"
        yield name, SAMPLES, "sample", sample_project(seeded(name), 180_000 + 11_000 * number, number)
    for number in range(1, 17):
        name = f"texture_{number:02d}.bmp"
        width, height = (512, 512) if number % 2 else (512, 256)
        yield name, TEXTURES, "sample", bitmap(seeded(name), width, height, 4)
    for name, size in (("Jun2010_d3dx9_43_x86.cab", 1_112_000), ("Jun2010_d3dx9_43_x64.cab", 1_532_000),
                       ("Jun2010_D3DCompiler_43_x86.cab", 890_000), ("Jun2010_D3DCompiler_43_x64.cab", 1_048_000)):
        yield name, TEMPORARY, "temporary", b"MSCF\0\0\0\0" + seeded(name).randbytes(size - 8)


def main():
    if len(sys.argv) != 3:
        print("usage: make_demo_files.py OUTPUT_FOLDER MANIFEST", file=sys.stderr)
        return 2
    folder, manifest = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    lines = ["# Generated by make_demo_files.py: the demo product's data files.\n"]
    for name, destination, kind, data in files():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)
        lines.append(f"{os.path.join(folder, name)}\t{destination}\t{kind}\n")
    with open(manifest, "w", encoding="utf-8") as out:
        out.writelines(lines)
    return 0


if __name__ == "__main__":
    sys.exit(main())
