#!/usr/bin/env bash
# Runs one end-to-end case with Wine's display scale set to a DPI (HKCU\Control Panel\Desktop\LogPixels),
# in Wine prefixes of their own, so the setting never reaches the prefixes the other tests run in.
#
#   display_scale.sh <dpi> <tarvel_e2e_driver.exe> <Tarvel.exe> <case folder> <work folder>
set -uo pipefail

if [ $# -ne 5 ]; then
  echo "usage: display_scale.sh <dpi> <driver.exe> <Tarvel.exe> <case folder> <work folder>" >&2
  exit 2
fi
dpi=$1
shift
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
exec </dev/null

export TARVEL_WINE_HOME=${TARVEL_WINE_HOME:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/tarvel-wine}-display-scale
# shellcheck source=../../scripts/wine-env.sh
. "$root/scripts/wine-env.sh" || exit 1

set_dpi() {
  tarvel_wine_run _tarvel_wine_detached wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d "$1" /f
}
# Back to 96 whatever happens, then the prefix is given free.
finish() {
  set_dpi 96
  tarvel_wine_cleanup
}
trap finish EXIT

set_dpi "$dpi" || exit 1
# A screen as large in inches as the 1024 x 768 one at 96 DPI: at 200 % the dialog would not fit
# otherwise, and Windows keeps a window within the screen's size.
size=$((1024 * dpi / 96))x$((768 * dpi / 96))
_tarvel_wine_reg_add 'HKCU\Software\Wine\Explorer\Desktops' Default "$size" || exit 1
# Every Wine process, the desktop's too, reads the DPI when it starts: a fresh server after the change.
_tarvel_wine_stop_server
_tarvel_wine_detached wineserver -p || exit 1
tarvel_wine_run _tarvel_wine_detached wine cmd /c exit 0

tarvel_wine_run wine "$@"
