#!/usr/bin/env bash
# Every source of the Windows build's portable part and of its Windows
# layer, checked by the MinGW-w64 compiler the Windows build uses. Each
# header is checked after <windows.h>, so a name that clashes with one of
# its macros shows here and not in the first file that includes both.
#
#   sintassi.sh COMPILER SOURCE_DIR GENERATED_DIR [FILE...]
# Without files, every file of app/, download/, install/ and platform/ but
# the Linux layer and the FLTK view.
set -uo pipefail

export COMPILATORE=$1 RADICE=$2 GENERATI=$3
shift 3
cd "$RADICE" || exit 1
shopt -s nullglob
if [[ $# -gt 0 ]]; then
    file=("$@")
else
    file=(app/*.cpp app/*.h app/win32/*.cpp app/win32/*.h
          download/*.cpp download/*.h install/*.cpp install/*.h
          platform/*.cpp platform/*.h platform/win32/*.cpp platform/win32/*.h)
fi

controlla() {
    local f=$1
    local opzioni=(-fsyntax-only -std=c++20 -Wall -Wextra -Wpedantic -Werror
                   -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601
                   -I"$RADICE" -I"$GENERATI")
    local uscita
    case $f in
    *.h) uscita=$(printf '#include <windows.h>\n#include "%s"\n' "$f" |
                  "$COMPILATORE" "${opzioni[@]}" -x c++ - 2>&1) ;;
    *) uscita=$("$COMPILATORE" "${opzioni[@]}" "$f" 2>&1) ;;
    esac
    local stato=$?
    [[ $stato -eq 0 ]] && return 0
    echo "== $f${uscita:+:}"
    echo "${uscita//<stdin>/$f after <windows.h>}"
    return 1
}
export -f controlla

printf '%s\0' "${file[@]}" | xargs -0 -n 1 -P 2 bash -c 'controlla "$1"' _
stato=$?
echo "${#file[@]} files checked"
[[ $stato -eq 0 ]]
