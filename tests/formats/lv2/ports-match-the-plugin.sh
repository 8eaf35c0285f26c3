#!/usr/bin/env bash
# The control ports a host reads from the bundle's description carry the plug-in's own
# parameter names, ranges, defaults and value texts, in parameter order.
set -euo pipefail
export LV2_PATH=$LV2_BUNDLES
described=$(lv2info urn:veksa:quillograph | awk '
    /^\tPort [0-9]+:/ { port = $2 + 0 }
    port >= 4 && /^\t\t(Name|Minimum|Maximum|Default):/ { line[port] = line[port] $1 " " $2 (NF > 2 ? " " $3 : "") "\n" }
    port >= 4 && /^\t\t\t[0-9]+ = / { sub(/^\t+/, ""); points[port] = points[port] $0 "\n" }
    END {
        for (p = 4; p <= 7; ++p) {
            printf "%s", line[p]
            n = split(points[p], list, "\n")
            # Scale points come in no set order; the plug-in lists them by value.
            for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (list[j] != "" && (list[i] == "" || list[j] + 0 < list[i] + 0)) { t = list[i]; list[i] = list[j]; list[j] = t }
            for (i = 1; i <= n; ++i) if (list[i] != "") print list[i]
        }
    }')
own=$("$EDITOR_REFERENCE" describe)
if [ "$described" != "$own" ]; then
    echo "FAIL: the ports differ from the plug-in's parameters"
    diff <(echo "$own") <(echo "$described") || true
    exit 1
fi
echo "$own"
