#!/usr/bin/env bash
# The user guide as shipped: one self-contained UTF-8 page holding the README's sections for
# users and none of those for developers, its pictures inlined.
# Usage: check-user-guide.sh Quillograph.html
set -u
guide=$1
failed=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; failed=1; fi; }

if [ ! -s "$guide" ]; then
    echo "FAIL no user guide at $guide"
    exit 1
fi
check "titled Quillograph, in UTF-8" 'grep -q "<title>Quillograph</title>" "$guide" && grep -qi "<meta charset=\"utf-8\">" "$guide"'
for section in "Installing" "Using the editor" "Linux: the LV2 plug-in" "Pictures and high-resolution screens"; do
    check "holds \"$section\"" 'grep -qF "<h2>$section</h2>" "$guide"'
done
check "the gestures as a table" 'grep -q "<td>click the bottom-right corner</td>" "$guide"'
for developers in "Building and testing" "quillograph-render: pictures" "guide: skip" "ctest" "make-readme-pictures"; do
    check "leaves out \"$developers\"" '! grep -qF "$developers" "$guide"'
done
check "three pictures, all inlined" '[ "$(grep -o "<img src=\"data:image/png;base64," "$guide" | wc -l)" -eq 3 ] &&
    ! grep -o "src=\"[^\"]*\"" "$guide" | grep -qv "^src=\"data:"'
check "an inlined picture is a PNG file" \
    'grep -o "base64,[A-Za-z0-9+/=]*" "$guide" | head -1 | cut -c8- | base64 -d | head -c 8 | od -An -tx1 | grep -q "89 50 4e 47 0d 0a 1a 0a"'
exit $failed
