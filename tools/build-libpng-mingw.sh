#!/usr/bin/env bash
# Cross-builds a static libpng for i686-w64-mingw32 from Debian's own source package,
# against the MinGW zlib of libz-mingw-w64-dev. Run as root (tools/setup-debian.sh does).
# Safe to run again: it does nothing when the library is already installed.
set -euo pipefail

version=1.6.39-2+deb12u5          # the Debian source version we build (bookworm main)
prefix=/opt/quillograph/i686-w64-mingw32
cc=i686-w64-mingw32-gcc-posix
ar=i686-w64-mingw32-ar

if [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ] && [ -f "$prefix/include/pnglibconf.h" ]; then
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A point release may retire the pinned version from the mirror; then try each version it serves.
fetched=
for v in "$version" $(apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p'); do
    if apt-get source -qq "libpng1.6=$v" >/dev/null 2>&1; then fetched=$v; break; fi
    rm -rf ./libpng1.6*
done
[ -n "$fetched" ] || { echo "build-libpng-mingw: no libpng1.6 source could be fetched" >&2; exit 1; }
[ "$fetched" = "$version" ] || echo "build-libpng-mingw: $version is not served, built $fetched" >&2
src=$(find . -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
cd "$src"

# The prebuilt configuration is the library's full default feature set.
cp scripts/pnglibconf.h.prebuilt pnglibconf.h
sources=(png.c pngerror.c pngget.c pngmem.c pngpread.c pngread.c pngrio.c pngrtran.c pngrutil.c
         pngset.c pngtrans.c pngwio.c pngwrite.c pngwtran.c pngwutil.c)
objects=()
for s in "${sources[@]}"; do
    "$cc" -O2 -I. -c "$s" -o "${s%.c}.o"
    objects+=("${s%.c}.o")
done
rm -f libpng16.a
"$ar" rcs libpng16.a "${objects[@]}"

install -d "$prefix/include" "$prefix/lib"
install -m 644 png.h pngconf.h pnglibconf.h "$prefix/include/"
install -m 644 libpng16.a "$prefix/lib/"
echo "build-libpng-mingw: installed libpng $(sed -n 's/^#define PNG_LIBPNG_VER_STRING "\(.*\)"/\1/p' png.h) into $prefix"
