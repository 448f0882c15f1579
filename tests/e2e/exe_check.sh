#!/usr/bin/env bash
# Checks the built Tarvel.exe as Windows' loader sees it: the word size of its tree (PE32 Intel 80386 for
# the exe that ships), a GUI program that Windows 7 can start, and imports from Windows' own DLLs only,
# so nothing beside Tarvel.exe has to be copied.
#
#   exe_check.sh <objdump> <Tarvel.exe> <pei-i386 | pei-x86-64>
set -uo pipefail
# objdump speaks Japanese under the Japanese locale the Windows tests run in.
export LC_ALL=C

if [ $# -ne 3 ]; then
  echo "usage: exe_check.sh <objdump> <Tarvel.exe> <pei-i386 | pei-x86-64>" >&2
  exit 2
fi
objdump=$1 exe=$2 want_format=$3
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

headers=$("$objdump" -p "$exe") || { echo "FAILED: $objdump cannot read $exe"; exit 1; }
format=$(sed -n 's/.*file format \([^ ]*\).*/\1/p' <<<"$headers" | head -n 1)
[ "$format" = "$want_format" ] || fail "the file format is [$format], not $want_format"
grep -qE '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not a Windows GUI program"
# Windows 7 is 6.1: a higher subsystem version would keep the exe from starting there.
major=$(awk '$1 == "MajorSubsystemVersion" { print $2 }' <<<"$headers")
minor=$(awk '$1 == "MinorSubsystemVersion" { print $2 }' <<<"$headers")
if [ -z "$major" ] || [ $((major * 100 + minor)) -gt 601 ]; then
  fail "subsystem version [$major.$minor] is not 6.1 or below"
fi

windows_dlls='^(advapi32|comctl32|comdlg32|gdi32|imm32|kernel32|msvcrt|ole32|shell32|shlwapi|user32|uxtheme|version)\.dll$'
mapfile -t dlls < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[ "${#dlls[@]}" -gt 0 ] || fail "no imports found"
for dll in "${dlls[@]}"; do
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
  [[ $lower =~ $windows_dlls ]] || fail "imports $dll, which is not one of Windows' own DLLs"
done

[ "$failures" -eq 0 ] || exit 1
echo "passed: $format, Windows GUI, subsystem $major.$minor, imports ${dlls[*]}"
