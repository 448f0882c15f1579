#!/usr/bin/env bash
# Runs one end-to-end case with its work folder on a file system of its own, a 4 MiB tmpfs, which the
# case may fill (the driver's fill-disk) without touching any other disk. Mounting needs root: without
# it, or where mounting is refused, the case is skipped (exit 77) and says why.
#
#   full_disk.sh <tarvel_e2e_driver.exe> <Tarvel.exe> <case folder> <mount point>
set -uo pipefail

if [ $# -ne 4 ]; then
  echo "usage: full_disk.sh <driver.exe> <Tarvel.exe> <case folder> <mount point>" >&2
  exit 2
fi
driver=$1 exe=$2 case_dir=$3 mount_point=$4
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
exec </dev/null

skip() {
  echo "skipped: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "a full disk needs a small file system of its own, and mounting one needs root"
mkdir -p "$mount_point" || exit 1
# A mount left by a run that was killed goes first.
while mountpoint -q "$mount_point"; do umount "$mount_point" || exit 1; done
mount -t tmpfs -o size=4m tarvel-full-disk "$mount_point" 2>&1 || skip "this machine refuses to mount a tmpfs"
trap 'umount "$mount_point"' EXIT

# The driver clears its work folder first, which a mount point cannot be: it works one folder below.
"$root/scripts/wine-launch" wine "$driver" "$exe" "$case_dir" "$mount_point/run"
