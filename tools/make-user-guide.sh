#!/usr/bin/env bash
# Makes the user guide shipped beside the plug-in: the README's sections for users as one
# self-contained HTML page, its pictures inlined.
# Usage: make-user-guide.sh README.md OUTPUT.html [cmark-gfm]
# The guide holds the introduction and the sections named below, less any lines between
# "<!-- guide: skip -->" and "<!-- guide: resume -->" (the parts for developers).
set -euo pipefail
readme=$1
output=$2
cmark=${3:-cmark-gfm}
folder=$(dirname "$readme")

sections='Installing|Using the editor|Linux: the LV2 plug-in|Pictures and high-resolution screens'

body=$(awk -v sections="$sections" '
    BEGIN { n = split(sections, names, "|"); for (i = 1; i <= n; i++) wanted[names[i]] = 1; keep = 1 }
    /^## / { keep = (substr($0, 4) in wanted) }
    /^<!-- guide: skip -->$/ { skipping = 1; next }
    /^<!-- guide: resume -->$/ { skipping = 0; next }
    keep && !skipping { print }
' "$readme" | "$cmark" --extension table --to html)

# Pictures from the README's folder become data: URIs, so the page needs no other file.
body=$(printf '%s\n' "$body" | awk -v folder="$folder" '
    {
        line = $0
        out = ""
        while (match(line, /src="[^":]+\.png"/)) {
            file = substr(line, RSTART + 5, RLENGTH - 6)
            data = ""
            command = "base64 -w0 \"" folder "/" file "\""
            if ((command | getline data) <= 0 || data == "") {
                print "make-user-guide: no picture " folder "/" file > "/dev/stderr"
                exit 1
            }
            close(command)
            out = out substr(line, 1, RSTART - 1) "src=\"data:image/png;base64," data "\""
            line = substr(line, RSTART + RLENGTH)
        }
        print out line
    }
')

tmp="$output.tmp"
cat > "$tmp" <<EOF
<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Quillograph</title>
<style>
body { max-width: 46em; margin: 2em auto; padding: 0 1em; font: 16px/1.5 sans-serif; color: #222; background: #fff; }
h1, h2 { line-height: 1.2; }
h2 { margin-top: 2em; border-bottom: 1px solid #ddd; }
code, pre { font-family: monospace; background: #f4f4f4; }
pre { padding: 0.6em; overflow-x: auto; }
table { border-collapse: collapse; }
th, td { border: 1px solid #ccc; padding: 0.3em 0.6em; text-align: left; vertical-align: top; }
img { max-width: 100%; image-rendering: pixelated; }
</style>
</head>
<body>
$body
</body>
</html>
EOF
mv "$tmp" "$output"
