#!/usr/bin/env bash
# Cross-builds a static libpng for each installed MinGW-w64 target (i686 for the DLL, x86_64
# for its 64-bit twin) from Debian's own source package, against the MinGW zlib of
# libz-mingw-w64-dev, into /opt/quillograph/<target>/{include,lib}.
# Run as root (tools/setup-debian.sh does). Safe to run again: installed targets are skipped.
set -euo pipefail

version=1.6.39-2+deb12u5          # the Debian source version we build (bookworm main)

installed() {
    local prefix=/opt/quillograph/$1
    [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ] && [ -f "$prefix/include/pnglibconf.h" ]
}

targets=()
for t in i686-w64-mingw32 x86_64-w64-mingw32; do
    command -v "$t-gcc-posix" >/dev/null 2>&1 || continue
    installed "$t" || targets+=("$t")
done
[ ${#targets[@]} -gt 0 ] || exit 0

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
src=$(find "$work" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)

# The prebuilt configuration is the library's full default feature set.
cp "$src/scripts/pnglibconf.h.prebuilt" "$src/pnglibconf.h"
sources=(png.c pngerror.c pngget.c pngmem.c pngpread.c pngread.c pngrio.c pngrtran.c pngrutil.c
         pngset.c pngtrans.c pngwio.c pngwrite.c pngwtran.c pngwutil.c)

for t in "${targets[@]}"; do
    out="$work/$t"
    mkdir -p "$out"
    objects=()
    for s in "${sources[@]}"; do
        "$t-gcc-posix" -O2 -I"$src" -c "$src/$s" -o "$out/${s%.c}.o"
        objects+=("$out/${s%.c}.o")
    done
    "$t-ar" rcs "$out/libpng16.a" "${objects[@]}"

    prefix=/opt/quillograph/$t
    install -d "$prefix/include" "$prefix/lib"
    install -m 644 "$src/png.h" "$src/pngconf.h" "$src/pnglibconf.h" "$prefix/include/"
    install -m 644 "$out/libpng16.a" "$prefix/lib/"
    echo "build-libpng-mingw: installed libpng $fetched into $prefix"
done
