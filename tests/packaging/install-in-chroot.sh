#!/usr/bin/env bash
# The package installed as a user installs it, `apt install ./quillograph_*.deb`, on a fresh
# minimal Debian made with debootstrap in a scratch folder: apt must find everything it
# needs, lilv (which jalv and Qtractor use to find plug-ins) must list the plug-in from
# /usr/lib/lv2 with no LV2_PATH, lv2apply must run it, quillograph-render must render, and
# removing the package must leave nothing behind. The mirror, keys and fetch settings are
# this machine's own apt configuration, copied into the scratch system only.
# Usage (as root): install-in-chroot.sh PACKAGE.deb|BUILD_DIR [WAVTOOL]   (a build folder: its
# package is made first, with cpack)
# Exits 77 when not root or without debootstrap.
set -u
deb=$(readlink -f "${1:?usage: install-in-chroot.sh PACKAGE.deb|BUILD_DIR [WAVTOOL]}")
wavtool=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
if [ "$(id -u)" -ne 0 ] || ! command -v debootstrap > /dev/null; then
    echo "SKIP needs root and debootstrap (tools/setup-debian.sh installs it)"
    exit 77
fi
. /etc/os-release

work=$(mktemp -d /var/tmp/quillograph-chroot.XXXXXX)
root=$work/root
cleanup() {
    # Nothing is mounted inside; a mount left by a failed step is undone before removal.
    grep -o " $root[^ ]*" /proc/mounts | sort -r | xargs -r -n1 umount -l
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT
if [ -d "$deb" ]; then
    cpack -G DEB -B "$work/package" --config "$deb/CPackConfig.cmake" > "$work/cpack.log" 2>&1 || cat "$work/cpack.log"
    deb=$(ls "$work"/package/quillograph_*.deb 2> /dev/null | head -1)
    if [ -z "$deb" ]; then
        echo "FAIL cpack made no package (is the tree built?)"
        exit 1
    fi
fi
failed=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; failed=1; fi; }
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 "$@"; }

# The machine's first source for this release, as derive-deb-src.sh reads its entries.
entry=$(bash "$here/../../tools/derive-deb-src.sh" | awk -v rel="$VERSION_CODENAME" '
    /^URIs:/ { uri = $2 } /^Signed-By:/ { key = $2 }
    /^Suites:/ { ours = 0; for (i = 2; i <= NF; i++) if ($i == rel) ours = 1 }
    /^$/ { if (ours && uri != "") { print uri, key; exit } uri = ""; key = ""; ours = 0 }')
read -r mirror keyring <<< "$entry"
if [ -z "${mirror:-}" ]; then
    echo "FAIL no apt source for $VERSION_CODENAME on this machine"
    exit 1
fi

start=$SECONDS
if ! debootstrap --variant=minbase ${keyring:+--keyring="$keyring"} "$VERSION_CODENAME" "$root" "$mirror" \
        > "$work/debootstrap.log" 2>&1; then
    tail -20 "$work/debootstrap.log"
    echo "FAIL debootstrap made no system"
    exit 1
fi
echo "     a minimal $VERSION_CODENAME in $((SECONDS - start)) s"

# The machine's own entries for this release (updates and security included) and how it
# fetches, so the scratch system sees the packages this one was built against.
rm -f "$root/etc/apt/sources.list"
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    grep -qE '^(deb |Types:.*\bdeb\b)' "$f" && grep -q "$VERSION_CODENAME" "$f" || continue
    cp "$f" "$root/etc/apt/sources.list.d/"
done
apt-config dump | grep '^Acquire::' > "$root/etc/apt/apt.conf.d/00this-machine" || true
cp "$deb" "$root/tmp/"
name=$(basename "$deb")

start=$SECONDS
in_root apt-get update -qq > "$work/apt.log" 2>&1 &&
    DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -qq "/tmp/$name" lilv-utils >> "$work/apt.log" 2>&1
status=$?
check "apt installs the package and what it needs ($((SECONDS - start)) s)" '[ $status -eq 0 ]' || tail -20 "$work/apt.log"
check "dpkg knows it installed, its files as shipped" \
    'in_root dpkg-query -W -f="\${Status}" quillograph | grep -q "install ok installed" && in_root dpkg --verify quillograph'
check "quillograph-render is on the PATH and answers" 'in_root quillograph-render --help | grep -q "^Usage: quillograph-render"'
check "lilv lists the plug-in from the system's LV2 folder" \
    'in_root lv2ls | grep -qx "urn:veksa:quillograph" &&
     in_root lv2info urn:veksa:quillograph | grep -q "Binary: *file:///usr/lib/lv2/quillograph.lv2/quillograph.so"'
if [ -n "$wavtool" ]; then
    "$wavtool" make "$root/tmp/in.wav" 22050 48000 > /dev/null
    check "quillograph-render draws a file" \
        'in_root quillograph-render /tmp/in.wav --domain spectro -q -o /tmp/in.png && [ -s "$root/tmp/in.png" ]'
    check "lv2apply runs the installed plug-in, the audio passing through unchanged" \
        'in_root lv2apply -i /tmp/in.wav -o /tmp/out.wav urn:veksa:quillograph && "$wavtool" same "$root/tmp/in.wav" "$root/tmp/out.wav" > /dev/null'
fi
check "removing it leaves nothing behind" \
    'in_root apt-get purge -y -qq quillograph > /dev/null 2>&1 &&
     [ ! -e "$root/usr/lib/lv2/quillograph.lv2" ] && [ ! -e "$root/usr/bin/quillograph-render" ] &&
     [ ! -e "$root/usr/share/doc/quillograph" ] && [ ! -e "$root/usr/share/man/man1/quillograph-render.1.gz" ]'
exit $failed
