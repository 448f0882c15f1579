#!/usr/bin/env bash
# The self-test zip as a tester on Windows gets it: built by the selftest-package target, unpacked under
# the Wine prefix's C:\自己テスト 1.0\ and run-tests.bat run there with cmd /c, as a double-click runs it.
# It must pass what this tree's own tests pass: every unit test but those it names as skipped, every
# case of cases/ and the version resource; every other end-to-end test is named as skipped, with its
# reason. Then a copy with a wrong expected file in one case, and a unit-test program that prints no
# summary, run with %TEMP% in a Japanese folder, must say both failed and exit 1. Runs inside the Wine
# session of scripts/test (WINEPREFIX set).
#
#   selftest_test.sh <build tree> <objdump> <work folder>
set -uo pipefail

if [ $# -ne 3 ]; then
  echo "usage: selftest_test.sh <build tree> <objdump> <work folder>" >&2
  exit 2
fi
build=$1 objdump=$2 work=$3
exec </dev/null
fail() {
  echo "FAILED: $*"
  exit 1
}
[ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX/drive_c" ] || fail "no Wine prefix (run through scripts/wine-env.sh)"
rm -rf "$work"
mkdir -p "$work"

cmake --build "$build" --target package selftest-package >"$work/build.log" 2>&1 ||
  fail "the package targets failed: see $work/build.log"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=Tarvel-$version-selftest
zip=$build/$name.zip
[ -f "$zip" ] || fail "$zip was not made"

listing=$(unzip -Z1 "$zip" | grep -v "^$name/cases/." | sort | tr '\n' ' ')
want="$name/ $name/Tarvel.exe $name/cases/ $name/run-tests.bat $name/tarvel_alloc_tests.exe"
want+=" $name/tarvel_e2e_driver.exe $name/tarvel_e2e_move_hook.dll $name/tarvel_tests.exe $name/tarvel_version_check.exe "
[ "$listing" = "$want" ] || fail "the zip holds [$listing]"
cmp <(unzip -p "$zip" "$name/Tarvel.exe") <(unzip -p "$build/Tarvel-$version-win.zip" Tarvel/Tarvel.exe) ||
  fail "the zip's Tarvel.exe is not the one the release zip ships"
# cmd reads a batch file in the console's code page, and finds its labels reliably only with CR LF.
unzip -p "$zip" "$name/run-tests.bat" >"$work/run-tests.bat"
LC_ALL=C grep -q $'[^\t\r -~]' "$work/run-tests.bat" && fail "run-tests.bat holds bytes other than ASCII"
perl -0777 -ne 'exit((/\r\n\z/ && !/\r(?!\n)/ && !/(?<!\r)\n/) ? 0 : 1)' "$work/run-tests.bat" ||
  fail "run-tests.bat has line ends other than CR LF"
# Every program starts on Windows 7: nothing of the DPI family newer than SetProcessDPIAware is imported.
for program in $(unzip -Z1 "$zip" | grep -E '^[^/]+/[^/]+\.(exe|dll)$'); do
  unzip -p "$zip" "$program" >"$work/program"
  newer=$(LC_ALL=C "$objdump" -p "$work/program" | awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ && $3 ~ /Dpi/ { print $3 }')
  [ -z "$newer" ] || fail "$program imports $newer, which Windows 7 does not have"
done

# This tree's own tests: the unit tests, e2e.<case> for each folder of cases/, and the end-to-end tests
# that need Linux to set up the machine (the display scales too, which set Wine's DPI), which the zip
# cannot pass here.
mapfile -t tests < <(ctest --test-dir "$build" -N | sed -n 's/^ *Test *#[0-9]*: //p')
cases_source=$(cd "$(dirname "${BASH_SOURCE[0]}")/cases" && pwd)
units=0 cases=0 others=()
for test in "${tests[@]}"; do
  case $test in
    e2e.selftest | e2e.version-resource) ;;
    e2e.*) if [ -f "$cases_source/${test#e2e.}/script.txt" ]; then cases=$((cases + 1)); else others+=("${test#e2e.}"); fi ;;
    *) units=$((units + 1)) ;;
  esac
done
[ "$units" -gt 0 ] && [ "$cases" -gt 0 ] || fail "ctest lists $units unit tests and $cases cases"

# Windows' desktop is there before a tester's first program, and stays. Wine starts one for the first
# program that needs it, which keeps that program's output file open, and ends it a second after the
# last: the batch file could then not read what its program said. So a driver with nothing to say holds
# Wine's desktop open from before the batch file starts until it ends.
desktop_open() {
  rm -rf "$work/desktop" && mkdir -p "$work/desktop" &&
    printf 'needs dpi 96\nsignal open\nawait done\n' >"$work/desktop/script.txt" || fail "no desktop case"
  wine "$bundle/tarvel_e2e_driver.exe" "$bundle/Tarvel.exe" "$work/desktop" "$work/desktop-work" \
    </dev/null >/dev/null 2>&1 &
  desktop=$!
  for _ in $(seq 300); do [ -f "$work/desktop/open" ] && return; sleep 0.1; done
  fail "Wine's desktop did not open"
}
desktop_close() {
  touch "$work/desktop/done"
  wait "$desktop"
}

# The run as a tester makes it.
parent="$WINEPREFIX/drive_c/自己テスト 1.0"
rm -rf "$parent"
mkdir -p "$parent"
unzip -q "$zip" -d "$parent" || fail "unzip failed"
bundle=$parent/$name
desktop_open
(cd "$bundle" && wine cmd /c run-tests.bat) >"$work/run.log" 2>&1
rc=$?
desktop_close
report=$bundle/selftest-report.txt
[ -f "$report" ] || fail "no selftest-report.txt beside run-tests.bat"
tr -d '\r' <"$report" >"$work/report.txt"
cat "$work/report.txt"
[ "$rc" -eq 0 ] || fail "run-tests.bat exited $rc"
sed -n 1p "$work/report.txt" | grep -qx "Tarvel $version self-test" || fail "the report does not name Tarvel $version"
grep -qE '^Windows: [0-9]+\.[0-9]+\.[0-9]+ (32|64)-bit' "$work/report.txt" || fail "the report has no Windows version"
grep -qE '^display scale: 96 DPI \(100 %\) on monitor 1 ' "$work/report.txt" || fail "the report has no display scale of 96 DPI"
grep -qE '^code pages: ANSI [0-9]+, OEM [0-9]+' "$work/report.txt" || fail "the report has no code pages"
grep -q FAILED "$work/report.txt" && fail "the report names failures"

unit_skips=0 skipped_cases=()
while IFS= read -r line; do
  if [[ $line =~ ^skipped:\ unit\ test\ ([^ :]+):\ .+ ]]; then
    printf '%s\n' "${tests[@]}" | grep -qxF "${BASH_REMATCH[1]}" || fail "it skips [${BASH_REMATCH[1]}], no unit test here"
    unit_skips=$((unit_skips + 1))
  elif [[ $line =~ ^skipped:\ ([^ :]+):\ .+ ]]; then
    skipped_cases+=("${BASH_REMATCH[1]}")
  elif [[ $line == skipped:* ]]; then
    fail "a skip without its reason: [$line]"
  fi
done <"$work/report.txt"
[ "$(printf '%s\n' "${skipped_cases[@]}" | sort)" = "$(printf '%s\n' "${others[@]}" | sort)" ] ||
  fail "it skips [${skipped_cases[*]}], not the end-to-end tests that need Linux [${others[*]}]"
summary="$((units - unit_skips + cases + 1)) passed, 0 failed, $((unit_skips + ${#others[@]})) skipped"
grep -qxF "$summary" "$work/report.txt" || fail "the report does not say [$summary]"
tr -d '\r' <"$work/run.log" | grep -qxF "$summary" || fail "the console does not show [$summary]"

# A copy of the bundle made to fail twice, run with %TEMP% in a folder with Japanese in its name.
copy="$WINEPREFIX/drive_c/失敗 copy"
temp="$WINEPREFIX/drive_c/一時 フォルダ"
rm -rf "$copy" "$temp"
cp -R "$bundle" "$copy" && rm -f "$copy/selftest-report.txt" || fail "cannot copy the bundle"
find "$copy/cases" -mindepth 1 -maxdepth 1 ! -name complete-run ! -name cancel -exec rm -rf {} +
printf 'hq\r\n' >"$copy/cases/complete-run/expected/JWC_TEMP.TXT"
cp "$copy/tarvel_e2e_driver.exe" "$copy/tarvel_alloc_tests.exe"
desktop_open
(cd "$copy" && wine cmd /c 'set TEMP=C:\一時 フォルダ&& run-tests.bat') >"$work/failing-run.log" 2>&1
rc=$?
desktop_close
tr -d '\r' <"$copy/selftest-report.txt" >"$work/failing-report.txt" || fail "the failing copy wrote no report"
cat "$work/failing-report.txt"
[ "$rc" -eq 1 ] || fail "run-tests.bat exited $rc with failures, not 1"
grep -qE '^FAILED: complete-run at script line [0-9]+ \[\(end of script\)\]: JWC_TEMP.TXT differs' \
  "$work/failing-report.txt" || fail "the report does not name the failed case"
grep -qx 'FAILED: tarvel_alloc_tests.exe ended with exit code 2 before its summary' "$work/failing-report.txt" ||
  fail "the report does not name the unit-test program without a summary"
grep -qE '^[0-9]+ passed, 2 failed, 5 skipped$' "$work/failing-report.txt" || fail "the report does not count 2 failures"
cmp "$copy/cases/complete-run/expected/JWC_TEMP.TXT.actual" "$bundle/cases/complete-run/expected/JWC_TEMP.TXT" ||
  fail "the failed case did not keep what Tarvel wrote beside its reference"
[ -d "$temp/Tarvel-selftest/cancel/tool" ] || fail "the cases did not run under %TEMP%"
rm -rf "$parent" "$copy" "$temp"
echo "passed: $zip: $summary under Wine; a wrong expected file and a program without a summary fail it"
