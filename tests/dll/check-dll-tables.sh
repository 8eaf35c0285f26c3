#!/usr/bin/env bash
# Fails unless the DLL exports exactly VSTPluginMain and main (one function), or the names
# given, and imports only Windows system DLLs: no libgcc, libstdc++ or winpthread for the user
# to lack.
# Usage: check-dll-tables.sh DLL i386|x86-64 [EXPORT...]  (the word size the build was meant
# to make; the exports the DLL must have, when it is not the VST DLL: clap_entry for the .clap).
set -euo pipefail
dll=$1
arch=${2:?which architecture: i386 or x86-64}
shift 2
wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || wanted=(VSTPluginMain main)
case "$arch" in
    i386) objdump=i686-w64-mingw32-objdump; format='pei-i386'; kind='PE32 executable (DLL)' ;;
    x86-64) objdump=x86_64-w64-mingw32-objdump; format='pei-x86-64'; kind='PE32+ executable (DLL)' ;;
    *) echo "FAIL: unknown architecture $arch"; exit 1 ;;
esac
description=$(file -b "$dll")
echo "file: $description"
dump=$("$objdump" -p "$dll")
fail=0

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^[[:space:]]*\[/{print $NF; next} on && /^[[:space:]]*$/{on=0}' <<<"$dump" | sort)
echo "exports: $(tr '\n' ' ' <<<"$exports")"
if [ "$exports" != "$(printf '%s\n' "${wanted[@]}" | sort)" ]; then
    echo "FAIL: exports must be exactly ${wanted[*]}"; fail=1
fi
addresses=$(awk '/Export Address Table -- Ordinal Base/{on=1; next} on && /^[[:space:]]*\[/{print $(NF-2); next} on && /^[[:space:]]*$/{on=0}' <<<"$dump" | sort -u)
if [ "$(wc -l <<<"$addresses")" != 1 ]; then
    echo "FAIL: the exports must be one address ($addresses)"; fail=1
fi

imports=$(awk '/DLL Name:/{print tolower($3)}' <<<"$dump" | sort -u)
echo "imports: $(tr '\n' ' ' <<<"$imports")"
system='^(kernel32|user32|gdi32|advapi32|msvcrt|comdlg32|shell32|ole32|oleaut32|comctl32|msimg32|ws2_32|shlwapi|uxtheme|version|winmm|api-ms-win-[a-z0-9-]+)\.dll$'
while read -r name; do
    [ -z "$name" ] && continue
    if ! grep -Eq "$system" <<<"$name"; then echo "FAIL: imports $name, which is not a Windows system DLL"; fail=1; fi
done <<<"$imports"
grep -q "file format $format" <<<"$dump" || { echo "FAIL: not a $format DLL"; fail=1; }
case "$description" in "$kind"*) ;; *) echo "FAIL: expected a $kind"; fail=1 ;; esac
[ $fail -eq 0 ] && echo "the DLL's tables are as hosts need them"
exit $fail
