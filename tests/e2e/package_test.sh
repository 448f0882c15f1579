#!/usr/bin/env bash
# The release zip as a Jw_cad user gets it: built by the package target, unpacked with unzip under the
# Wine prefix's C:\jww\外部変形\Tarvel 1.0\ and checked against SHA256SUMS, its Tarvel.exe checked to be
# the 32-bit x86 one, the guide checked as Notepad would open it, then Tarvel.bat run there with cmd /c
# and the dialog driven to OK. Runs inside the Wine session of scripts/test (WINEPREFIX set).
#
#   package_test.sh <build tree> <zip> <version> <tarvel_e2e_driver.exe> <case folder> <work folder>
set -uo pipefail

if [ $# -ne 6 ]; then
  echo "usage: package_test.sh <build tree> <zip> <version> <driver.exe> <case folder> <work folder>" >&2
  exit 2
fi
build=$1 zip=$2 version=$3 driver=$4 case_dir=$5 work=$6
exec </dev/null
fail() {
  echo "FAILED: $*"
  exit 1
}
[ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX/drive_c" ] || fail "no Wine prefix (run through scripts/wine-env.sh)"

cmake --build "$build" --target package >"$build/package.log" 2>&1 || fail "the package target failed: see $build/package.log"
[ -f "$zip" ] || fail "$zip was not made"

listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$listing" = "Tarvel/ Tarvel/LICENSE.txt Tarvel/Tarvel.bat Tarvel/Tarvel.exe Tarvel/readme.txt " ] ||
  fail "the zip holds [$listing]"

parent="$WINEPREFIX/drive_c/jww/外部変形/Tarvel 1.0"
rm -rf "$parent"
mkdir -p "$parent"
unzip -q "$zip" -d "$parent" || fail "unzip failed"
folder=$parent/Tarvel

# SHA256SUMS as a user checks a download with it: a line for the zip and one for each file in it.
cp "$zip" "$build/SHA256SUMS" "$parent/" || fail "no SHA256SUMS beside the zip"
(cd "$parent" && sha256sum --check --strict --quiet SHA256SUMS) || fail "SHA256SUMS does not match the zip"
lines=$(wc -l <"$parent/SHA256SUMS")
[ "$lines" -eq 5 ] || fail "SHA256SUMS holds $lines lines, not 5 (the zip and its 4 files)"

# One exe for every Windows that runs Jw_cad: the PE header's machine is Intel 386 (0x014c).
pe_offset=$(od -An -tu4 -j60 -N4 "$folder/Tarvel.exe" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe_offset + 4)) -N2 "$folder/Tarvel.exe" | tr -d ' ')
signature=$(od -An -c -j"$pe_offset" -N2 "$folder/Tarvel.exe" | tr -d ' ')
[ "$signature" = PE ] && [ "$machine" = 014c ] ||
  fail "Tarvel.exe in the zip is not a 32-bit x86 program (signature [$signature], machine [$machine])"

# Notepad users: Shift-JIS that decodes, CR LF and nothing else as line ends, every option of the dialog.
only_crlf() {
  perl -0777 -ne 'exit((length($_) > 0 && !/\r(?!\n)/ && !/(?<!\r)\n/ && /\r\n\z/) ? 0 : 1)' "$1"
}
guide=$(iconv -f CP932 -t UTF-8 "$folder/readme.txt") || fail "readme.txt is not valid code page 932"
only_crlf "$folder/readme.txt" || fail "readme.txt has line ends other than CR LF"
only_crlf "$folder/LICENSE.txt" || fail "LICENSE.txt has line ends other than CR LF"
grep -q '^MIT License' "$folder/LICENSE.txt" || fail "LICENSE.txt is not the MIT license"
for option in 始点 終点 長さ 角度 端点倍率 寸法値の文字種 接頭文字 接尾文字 寸法値の精度 寸法値の丸め \
  小数点以下の０表示 寸法値の単位 ３桁毎カンマ付加 単位の付加 寸法値を全角化 寸法図形化 \
  寸法値と水平線との距離 計測点と寸法補助線の距離 寸法補助線のはみ出し距離 逆矢印の寸法はみだし距離 \
  'ＯＫ(Y)' 'キャンセル(N)' sorvel.dat 'その他］→［外部変形' "バージョン $version"; do
  grep -qF -- "$option" <<<"$guide" || fail "readme.txt does not name $option"
done

wine "$driver" "$folder/Tarvel.exe" "$case_dir" "$work" || fail "the run from the unpacked folder"
rm -rf "$parent"
echo "passed: package $zip"
