#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    fresh_lists=1
fi

# Source lines let us cross-build libpng from Debian's own package. They are derived from the
# machine's own binary entries (same mirrors, suites and keys), so no address is written here.
src_list=/etc/apt/sources.list.d/quillograph-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    bash "$(dirname "$0")/derive-deb-src.sh" > "$src_list.tmp"
    if [ -s "$src_list.tmp" ]; then
        mv "$src_list.tmp" "$src_list"
        fresh_lists=1
    else
        rm -f "$src_list.tmp"
        echo "setup-debian: no Debian binary entries found to derive source entries from" >&2
    fi
fi

pkgs=(cmake ninja-build g++ make pkg-config dpkg-dev file cmark-gfm
      libgtest-dev libbenchmark-dev libpng-dev libfftw3-dev zlib1g-dev
      libfreetype-dev libfontconfig-dev fonts-liberation2
      gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
      gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
      libz-mingw-w64-dev
      libsndfile1-dev libcli11-dev locales
      clang-14 libclang-rt-14-dev
      lv2-dev libx11-dev libxext-dev jalv jackd2 lilv-utils sordi qtractor
      lsp-plugins-lv2 x42-plugins ecasound
      xdotool x11-apps x11-utils imagemagick perl
      lintian fakeroot debootstrap
      wine wine32:i386 wine64 xvfb xauth)
for p in "${pkgs[@]}"; do have "$p" || need+=("$p"); done

if [ ${#need[@]} -gt 0 ] || [ -n "${fresh_lists:-}" ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
fi
if [ ${#need[@]} -gt 0 ]; then
    apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

# A locale with a decimal comma, for the test that the renderer reads and writes numbers the
# same whatever the user's locale. locale-gen rebuilds every locale listed, so it is listed.
sed -i 's/^# *de_DE.UTF-8 UTF-8$/de_DE.UTF-8 UTF-8/' /etc/locale.gen
grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
if ! locale -a | grep -qix 'de_DE.utf8'; then
    locale-gen
fi

# libpng for the DLL, cross-built from Debian's own source package.
bash "$(dirname "$0")/build-libpng-mingw.sh"
