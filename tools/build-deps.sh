#!/usr/bin/env bash
# Builds libbz2 and the Boost libraries for the target from Debian's source packages, once.
# Sources and the installed prefix live in the cache folder, outside the work tree.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cache=${VELTRANO_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/veltrano-deps}
prefix=$cache/i686-w64-mingw32
stamp=$prefix/.complete-2
[ -f "$stamp" ] && { echo "$prefix"; exit 0; }

mkdir -p "$cache/src" "$prefix/include" "$prefix/lib"
cd "$cache/src"

fetch() { # package, pattern of its unpacked folder
  local dir
  dir=$(ls -d $2 2>/dev/null | head -n1 || true)
  if [ -z "$dir" ]; then
    ls "$1"_*.dsc >/dev/null 2>&1 || apt-get source --download-only "$1" >&2
    dpkg-source --no-check -x "$(ls "$1"_*.dsc | head -n1)" >&2
    dir=$(ls -d $2 | head -n1)
  fi
  echo "$cache/src/$dir"
}

bz=$(fetch bzip2 'bzip2-1.*/')
boost=$(fetch boost1.81 'boost1.81-1.*/')

# libbz2: the library's seven sources.
mkdir -p "$cache/build/bzip2"
for f in blocksort huffman crctable randtable compress decompress bzlib; do
  i686-w64-mingw32-gcc-posix -O2 -D_FILE_OFFSET_BITS=64 -c "$bz/$f.c" -o "$cache/build/bzip2/$f.o"
done
rm -f "$prefix/lib/libbz2.a"
i686-w64-mingw32-ar rcs "$prefix/lib/libbz2.a" "$cache/build/bzip2"/*.o
cp "$bz/bzlib.h" "$prefix/include/"

# Boost through its CMake superproject, static, only what the installer uses.
cmake -S "$boost" -B "$cache/build/boost" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF \
  -DBOOST_INCLUDE_LIBRARIES="filesystem;iostreams;format;uuid;algorithm" \
  -DBOOST_IOSTREAMS_ENABLE_BZIP2=ON -DBOOST_IOSTREAMS_ENABLE_ZLIB=OFF \
  -DBOOST_IOSTREAMS_ENABLE_LZMA=OFF -DBOOST_IOSTREAMS_ENABLE_ZSTD=OFF \
  -DBZIP2_INCLUDE_DIR="$prefix/include" -DBZIP2_LIBRARIES="$prefix/lib/libbz2.a" \
  -DBZIP2_LIBRARY="$prefix/lib/libbz2.a" -DCMAKE_FIND_ROOT_PATH="$prefix;/usr/i686-w64-mingw32" >&2
cmake --build "$cache/build/boost" >&2
cmake --install "$cache/build/boost" >&2

touch "$stamp"
echo "$prefix"
