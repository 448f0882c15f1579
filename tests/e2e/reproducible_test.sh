#!/usr/bin/env bash
# The release as someone else rebuilds it: the same commit, checked out in another folder and built later,
# in another time zone and under another umask, gives the same bytes as this tree. A 32-bit tree compares
# its zip and SHA256SUMS (the package target scripts/package builds); a 64-bit tree, which makes no zip,
# its Tarvel.exe. On a difference diffoscope shows where it lies. The shipped files name no folder of
# either build (a source file goes by its path from the repository's root), and carry the build's time:
# the PE header's TimeDateStamp and every entry of the zip.
#
#   reproducible_test.sh <source root> <build tree> <toolchain file> <the tree's SOURCE_DATE_EPOCH>
#                        <zip or Tarvel.exe in the tree> <work folder>
set -uo pipefail

if [ $# -ne 6 ]; then
  echo "usage: reproducible_test.sh <source root> <build tree> <toolchain file> <epoch> <zip or exe> <work folder>" >&2
  exit 2
fi
root=$1 build=$2 toolchain=$3 epoch=$4 product=$5 work=$6
exec </dev/null
export LC_ALL=C
fail() {
  echo "FAILED: $*"
  exit 1
}

case $product in
  *.zip) target=package ;;
  *) target=Tarvel ;;
esac
relative=${product#"$build"/}
[ "$relative" != "$product" ] || fail "$product is not in $build"
rm -rf "$work"
mkdir -p "$work"
cmake --build "$build" --target "$target" >"$work/first.log" 2>&1 || fail "building $target failed: see $work/first.log"

# The second checkout: a clone of the commit that finds the commit's date by itself, when this tree is that
# commit; otherwise a copy of this tree's files, told this tree's time.
src=$work/checkout
second=$work/build
commit=$(git -C "$root" rev-parse HEAD 2>/dev/null)
if [ -n "$commit" ] && [ "$(git -C "$root" log -1 --format=%ct)" = "$epoch" ] &&
  [ -z "$(git -C "$root" --no-optional-locks status --porcelain)" ]; then
  echo "this tree is commit $commit: the second build is a clone of it, left to find its time"
  git clone --quiet --shared --no-checkout "$root" "$src" && git -C "$src" checkout --quiet --detach "$commit" ||
    fail "cannot clone $root"
  unset SOURCE_DATE_EPOCH
else
  echo "this tree is no commit's (uncommitted changes, or its time given): the second build copies its files and time"
  mkdir -p "$src"
  if [ -n "$commit" ]; then
    git -C "$root" ls-files -z --cached --others --exclude-standard |
      (cd "$root" && tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$src"
  else
    tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$src"
  fi || fail "cannot copy $root"
  export SOURCE_DATE_EPOCH=$epoch
fi
case $toolchain in
  "$root"/*) toolchain=$src/${toolchain#"$root"/} ;;
esac
(
  umask 077
  export TZ=JST-9
  cmake -S "$src" -B "$second" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$second" -j "${TARVEL_JOBS:-2}" --target "$target"
) >"$work/second.log" 2>&1 || fail "the second build failed: see $work/second.log"

if ! cmp "$product" "$second/$relative"; then
  if command -v diffoscope >/dev/null; then
    diffoscope --text - "$product" "$second/$relative" | head -n 120
  else
    echo "(diffoscope, which scripts/setup installs, would show where they differ)"
  fi
  fail "the second build's $relative is not the same as this tree's"
fi
if [ "$target" = package ]; then
  cmp "$build/SHA256SUMS" "$second/SHA256SUMS" || fail "the second build's SHA256SUMS is not the same"
  unzip -q "$product" -d "$work/unpacked" || fail "cannot unpack $product"
  exe=$work/unpacked/Tarvel/Tarvel.exe
  mapfile -t shipped < <(find "$work/unpacked" -type f)
else
  exe=$product
  shipped=("$product")
fi

for file in "${shipped[@]}"; do
  for folder in "$root" "$build" "$src" "$second"; do
    { strings -a "$file" && strings -a -e l "$file"; } | grep -F -- "$folder" | head -n 3 | sed 's/^/  /' >"$work/leak"
    [ -s "$work/leak" ] && { cat "$work/leak"; fail "${file#"$work"/} names the build machine's folder $folder"; }
  done
done
# The error checks' __FILE__, each a string of its own that no path character comes before.
strings -a "$exe" >"$work/exe-strings"
for source in app/main.cpp app/win32/widgets_win32.cpp app/win32/win32_base.cpp; do
  grep -qE -- "(^|[^[:alnum:]_./-])${source//./\\.}\$" "$work/exe-strings" ||
    fail "Tarvel.exe does not name $source by its path from the repository's root"
done

pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
stamp=$(od -An -tu4 -j$((pe + 8)) -N4 "$exe" | tr -d ' ')
[ "$stamp" = "$epoch" ] || fail "the PE header's TimeDateStamp is $stamp, not the build's time $epoch"
if [ "$target" = package ]; then
  # A zip keeps times to even seconds; zip rounds an odd one up.
  want=$(date -u -d "@$((epoch + epoch % 2))" +%Y%m%d.%H%M%S)
  wrong=$(TZ=UTC0 zipinfo -T "$product" | awk -v want="$want" 'NF >= 8 && $1 ~ /^[-d]/ && $7 != want')
  [ -z "$wrong" ] || fail "entries not at the build's time ($want UTC):"$'\n'"$wrong"
fi
echo "passed: $relative the same from $root and $src, $(sha256sum <"$product" | cut -c1-64), time $epoch"
