#!/usr/bin/env bash
# Every include of the product's code goes down the layers or stays level: plugin/ (the VST
# shell), dsp/, graphics/, analyser/, formats/, bottom up. Prints each include that climbs
# and fails when there is one.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
rank() {
    case "$1" in
        plugin) echo 0 ;; dsp) echo 1 ;; graphics) echo 2 ;; analyser) echo 3 ;; formats) echo 4 ;; *) echo -1 ;;
    esac
}
climbs=0
while IFS= read -r file; do
    own=$(rank "${file%%/*}")
    while IFS= read -r included; do
        theirs=$(rank "${included%%/*}")
        if [ "$theirs" -gt "$own" ]; then
            echo "$file includes $included, a layer above its own"
            climbs=$((climbs + 1))
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find plugin dsp graphics analyser formats -name '*.h' -o -name '*.cpp' -o -name '*.inl' | sort)
if [ "$climbs" -gt 0 ]; then
    echo "$climbs includes climb a layer"
    exit 1
fi
echo "no include climbs a layer"
