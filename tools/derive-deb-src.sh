#!/usr/bin/env bash
# Prints deb-src entries (deb822) mirroring the machine's own enabled "deb" entries for this
# Debian release: the same URIs, suites, components and keys. Entries for other suites
# (third-party repositories) are left out, since they rarely serve sources.
set -euo pipefail
. /etc/os-release
codename=${VERSION_CODENAME:?no VERSION_CODENAME in /etc/os-release}

# deb822 files: copy each stanza whose Types holds deb and whose Suites belong to this release.
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v rel="$codename" '
        function flush() {
            if (isdeb && ours && enabled) {
                print "Types: deb-src"
                for (i = 1; i <= n; i++) print lines[i]
                print ""
            }
            n = 0; isdeb = 0; ours = 0; enabled = 1
        }
        BEGIN { n = 0; isdeb = 0; ours = 0; enabled = 1 }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        /^Types:/ { for (i = 2; i <= NF; i++) if ($i == "deb") isdeb = 1; next }
        /^Enabled:/ { if (tolower($2) == "no") enabled = 0 }
        /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == rel || index($i, rel "-") == 1) ours = 1 }
        { lines[++n] = $0 }
        END { flush() }
    ' "$f"
done

# One-line entries: "deb [options] URI suite components..." becomes a deb822 stanza.
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v rel="$codename" '
        $1 != "deb" { next }
        {
            opts = ""; i = 2
            if ($2 ~ /^\[/) {
                while (i <= NF) { opts = opts " " $i; if ($i ~ /\]$/) { i++; break } i++ }
            }
            uri = $i; suite = $(i + 1); comps = ""
            for (j = i + 2; j <= NF; j++) comps = comps " " $j
            if (suite != rel && index(suite, rel "-") != 1) next
            print "Types: deb-src"
            print "URIs: " uri
            print "Suites: " suite
            print "Components:" comps
            if (match(opts, /signed-by=[^] ]+/)) print "Signed-By: " substr(opts, RSTART + 10, RLENGTH - 10)
            print ""
        }
    ' "$f"
done
