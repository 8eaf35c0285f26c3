#!/usr/bin/env bash
# The Debian package as a user gets it: made by cpack from a built tree, passed by lintian,
# then unpacked into a scratch folder (nothing on this machine changes) and checked: every
# path and mode, its checksums, its manual page, libraries only from the packages it depends
# on, quillograph-render rendering a file, and the LV2 bundle found and run by lilv's tools.
# Usage: check-deb.sh BUILD_DIR [UNPACKED]   (environment: WAVTOOL, the LV2 tests' signal maker;
# RENDER, the build tree's quillograph-render, whose pictures the packaged one must match)
# With UNPACKED the package is unpacked there and left, for the tests that run hosts on it.
# Exits 77 when the packaging tools are missing.
set -u
build=$(cd "${1:?usage: check-deb.sh BUILD_DIR [UNPACKED]}" && pwd)
unpacked=${2:-}
[ -n "$unpacked" ] && rm -rf "$unpacked"
for tool in cpack dpkg-deb dpkg-shlibdeps lintian lv2ls lv2info lv2apply man; do
    if ! command -v "$tool" > /dev/null; then
        echo "SKIP $tool is missing (tools/setup-debian.sh installs it)"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; failed=1; fi; }
arch=$(dpkg --print-architecture)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

if ! cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" > "$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL cpack made no package (is the tree built?)"
    exit 1
fi
deb=$work/out/quillograph_${version}-1_${arch}.deb
if [ ! -f "$deb" ]; then
    ls "$work/out"
    echo "FAIL no package named $(basename "$deb")"
    exit 1
fi
field() { dpkg-deb -f "$deb" "$1"; }

check "named quillograph, version $version-1, for $arch, in section sound" \
    '[ "$(field Package) $(field Version) $(field Architecture) $(field Section)" = "quillograph $version-1 $arch sound" ]'
check "maintained by Veksa" '[[ "$(field Maintainer)" == "Veksa <"*"@"*">" ]]'
check "a synopsis and a long description" \
    '[ -n "$(field Description | head -1)" ] && [ "$(field Description | wc -l)" -ge 5 ]'
depends=$(field Depends)
check "depends on the libraries it links, with versions" \
    '[[ "$depends" == *"libc6 (>= "* && "$depends" == *libsndfile1* && "$depends" == *libx11-6* ]]'

lintian --fail-on error --display-info "$deb" > "$work/lintian.log" 2>&1
lintian_status=$?
sed 's/^/     lintian: /' "$work/lintian.log" | grep -v 'running with root privileges'
check "lintian finds no error" '[ $lintian_status -eq 0 ] && ! grep -q "^E: " "$work/lintian.log"'

root=$work/root
[ -n "$unpacked" ] && root=$unpacked
mkdir -p "$root"
root=$(cd "$root" && pwd)
dpkg-deb -x "$deb" "$root"
bundle=$root/usr/lib/lv2/quillograph.lv2
render=$root/usr/bin/quillograph-render
clap_folder=$root/usr/lib/clap/quillograph

# Every file with its mode, and nothing else.
expected="0755 usr/bin/quillograph-render
0644 usr/lib/clap/quillograph/Quillograph.clap
0644 usr/lib/clap/quillograph/Quillograph.html
0644 usr/lib/lv2/quillograph.lv2/Quillograph.html
0644 usr/lib/lv2/quillograph.lv2/manifest.ttl
0644 usr/lib/lv2/quillograph.lv2/quillograph.so
0644 usr/lib/lv2/quillograph.lv2/quillograph.ttl
0644 usr/share/doc-base/quillograph
0644 usr/share/doc/quillograph/Quillograph.html
0644 usr/share/doc/quillograph/changelog.Debian.gz
0644 usr/share/doc/quillograph/copyright
0644 usr/share/lintian/overrides/quillograph
0644 usr/share/man/man1/quillograph-render.1.gz"
found=$(cd "$root" && find . ! -type d -printf '%#m %P\n' | sort -k2)
check "holds exactly the expected files, with their modes" '[ "$found" = "$expected" ]' ||
    diff <(echo "$expected") <(echo "$found")
check "every folder is 0755 and owned by root" \
    '! dpkg-deb -c "$deb" | awk "/^d/ && (\$1 != \"drwxr-xr-x\" || \$2 != \"root/root\")" | grep -q .'
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./md5sums > "$work/md5sums"
check "the checksums list every file and match" \
    '[ "$(wc -l < "$work/md5sums")" -eq "$(echo "$expected" | wc -l)" ] && (cd "$root" && md5sum --quiet -c "$work/md5sums")'
check "the user guide in the bundle and in share/doc is the built one" \
    'cmp -s "$bundle/Quillograph.html" "$build/lv2/quillograph.lv2/Quillograph.html" &&
     cmp -s "$bundle/Quillograph.html" "$root/usr/share/doc/quillograph/Quillograph.html" &&
     cmp -s "$bundle/Quillograph.html" "$clap_folder/Quillograph.html"'
zcat "$root/usr/share/doc/quillograph/changelog.Debian.gz" > "$work/changelog"
check "the changelog's last entry is this version" \
    '[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version-1" ]'

man_page=$root/usr/share/man/man1/quillograph-render.1.gz
MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$man_page" > "$work/man.txt" 2> "$work/man.err"
check "the manual page renders without a warning" '[ ! -s "$work/man.err" ]' || cat "$work/man.err"
has_all() {  # file words...: every word is in the file, those missing are named
    local file=$1 word ok=0
    shift
    for word in "$@"; do grep -qe "$word" "$file" || { echo "     missing: $word"; ok=1; }; done
    return $ok
}
check "the manual page has its sections" \
    'has_all "$work/man.txt" ^NAME ^SYNOPSIS ^DESCRIPTION ^OPTIONS ^EXAMPLES "^EXIT STATUS" "^SEE ALSO"'
check "the manual page names every option --help lists" \
    'has_all "$work/man.txt" $("$render" --help | grep -o -- "--[a-z-]*" | sort -u)'

# Libraries: each one the binaries need directly comes from a package named in Depends, each
# one loaded with them from those packages or what they depend on, and none is missing.
names=$(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*//; s/ //g' | grep . | sort -u)
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
              --no-enhances $names | grep -v '^ ' | sed 's/:.*//' | sort -u)
owner() {  # a library's package, whichever of /lib and /usr/lib dpkg knows it by
    local path=$1 other
    case $path in /usr/*) other=${path#/usr} ;; *) other=/usr$path ;; esac
    { dpkg -S "$path" 2> /dev/null || dpkg -S "$other" 2> /dev/null || dpkg -S "$(readlink -f "$path")" 2> /dev/null; } |
        head -1 | sed 's/[:,].*//'
}
check_libraries() {  # binary
    local binary=$1 name path package ok=0
    if readelf -d "$binary" | grep -qE 'RPATH|RUNPATH'; then echo "     $binary has a library search path"; ok=1; fi
    if ldd -r "$binary" 2>&1 | grep -E 'not found|undefined symbol'; then ok=1; fi
    while read -r name path; do
        package=$(owner "$path")
        if [ -z "$package" ]; then
            echo "     $name ($path) belongs to no package"; ok=1
        elif readelf -d "$binary" | grep -qF "[$name]" && ! grep -qx "$package" <<< "$names"; then
            echo "     $name comes from $package, not in Depends"; ok=1
        elif ! grep -qx "$package" <<< "$closure"; then
            echo "     $name comes from $package, which Depends does not bring"; ok=1
        fi
    done < <(ldd "$binary" | awk '$2 == "=>" { print $1, $3 }')
    return $ok
}
check "quillograph.so finds all its libraries through Depends" 'check_libraries "$bundle/quillograph.so"'
check "Quillograph.clap finds all its libraries through Depends" 'check_libraries "$clap_folder/Quillograph.clap"'
check "quillograph-render finds all its libraries through Depends" 'check_libraries "$render"'
check "no binary keeps its symbol table" \
    '! readelf -S "$bundle/quillograph.so" "$clap_folder/Quillograph.clap" "$render" | grep -qE "\.symtab|\.debug_|\.comment"'
check "Quillograph.clap exports only clap_entry" \
    '[ "$(nm -D --defined-only "$clap_folder/Quillograph.clap" | awk "{ print \$3 }" | grep -v "^_" | sort -u)" = clap_entry ]'
check "apt would install it here" 'apt-get install --simulate -qq "$deb" > "$work/apt.log" 2>&1' || cat "$work/apt.log"

check "quillograph-render --help answers" '"$render" --help | grep -q "^Usage: quillograph-render"'
if [ -n "${WAVTOOL:-}" ]; then
    "$WAVTOOL" make "$work/in.wav" 22050 44100 > /dev/null
    check "quillograph-render draws the four displays of a file" \
        '"$render" "$work/in.wav" --domain all --sheet -q -o "$work/sheet.png" &&
         file "$work/sheet.png" | grep -q "PNG image data"'
    if [ -n "${RENDER:-}" ]; then
        check "the same picture as the build tree's quillograph-render" \
            '"$RENDER" "$work/in.wav" --domain all --sheet -q -o "$work/built.png" && cmp -s "$work/sheet.png" "$work/built.png"'
    fi
fi

export LV2_PATH=$root/usr/lib/lv2
check "lv2ls lists the plug-in, and only it" '[ "$(lv2ls)" = "urn:veksa:quillograph" ]'
lv2info urn:veksa:quillograph > "$work/lv2info.txt" 2>&1
check "lv2info finds its name, binary and editor in the bundle" \
    'grep -q "Name: *Quillograph" "$work/lv2info.txt" &&
     grep -q "Binary: *file://$bundle/quillograph.so" "$work/lv2info.txt" &&
     grep -q "urn:veksa:quillograph#ui" "$work/lv2info.txt"'
if [ -n "${WAVTOOL:-}" ]; then
    check "lv2apply runs the packaged plug-in, the audio passing through unchanged" \
        'lv2apply -i "$work/in.wav" -o "$work/out.wav" urn:veksa:quillograph && "$WAVTOOL" same "$work/in.wav" "$work/out.wav" > /dev/null'
fi
exit $failed
