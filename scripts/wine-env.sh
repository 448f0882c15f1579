# Wine and Xvfb for running the Windows build on Linux. Source it; it sets everything up at once:
#
#   . scripts/wine-env.sh || exit 1
#   trap tarvel_wine_cleanup EXIT
#   tarvel_wine_run ctest --test-dir build/win       # or: tarvel_wine_run wine Tarvel.exe
#
# Exports WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, DISPLAY and TARVEL_WINE_LOCALE. Wine programs must be
# started through tarvel_wine_run, which gives them the Japanese locale (code page 932, LCID 0x0411)
# without putting the calling shell into it.
#
# Prefixes live in $TARVEL_WINE_HOME (default ~/.cache/tarvel-wine) as prefix-0 … prefix-3. Each user
# locks one for as long as it runs, so two scripts at once never share a wineserver (cleanup kills every
# process of its prefix). A prefix is made once (about 15 s) and kept; a half-made one is made again, and
# so is one that cannot start 32-bit programs (made before wine32 was installed), unless
# TARVEL_WINE_64BIT_ONLY=1: the caller runs 64-bit programs only (scripts/test's 64-bit tree), which
# works where wine32 is missing.
# A working $DISPLAY is used as it is; otherwise (or with TARVEL_WINE_OWN_DISPLAY=1) a private Xvfb is
# started on the first free display.

tarvel_wine_home=${TARVEL_WINE_HOME:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/tarvel-wine}
_tarvel_xvfb_pid=
_tarvel_wine_lock_fd=
_tarvel_wine_server_started=

_tarvel_wine_log() { echo "wine-env: $*" >&2; }

_tarvel_wine_now() { date +%s.%N; }
_tarvel_wine_since() { awk -v a="$1" -v b="$(_tarvel_wine_now)" 'BEGIN { printf "%.1f", b - a }'; }

# Runs a command with the Japanese locale if it exists (an ungenerated one is silently ignored by Wine).
tarvel_wine_run() {
  if [ -n "${TARVEL_WINE_LOCALE:-}" ]; then
    LC_ALL=$TARVEL_WINE_LOCALE "$@"
  else
    "$@"
  fi
}

_tarvel_wine_pick_locale() {
  TARVEL_WINE_LOCALE=
  if locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    TARVEL_WINE_LOCALE=ja_JP.UTF-8
  else
    _tarvel_wine_log "locale ja_JP.UTF-8 missing (run scripts/setup); Wine runs with code page 1252"
  fi
  export TARVEL_WINE_LOCALE
}

# Takes the first free prefix slot; waits for slot 0 if all four are busy.
_tarvel_wine_lock_prefix() {
  mkdir -p "$tarvel_wine_home" || return 1
  local n
  for n in 0 1 2 3; do
    exec {_tarvel_wine_lock_fd}>"$tarvel_wine_home/prefix-$n.lock" || return 1
    if flock -n "$_tarvel_wine_lock_fd"; then
      export WINEPREFIX=$tarvel_wine_home/prefix-$n
      return 0
    fi
    exec {_tarvel_wine_lock_fd}>&-
  done
  _tarvel_wine_log "all prefixes busy; waiting for prefix-0"
  exec {_tarvel_wine_lock_fd}>"$tarvel_wine_home/prefix-0.lock" || return 1
  flock -w 1800 "$_tarvel_wine_lock_fd" || return 1
  export WINEPREFIX=$tarvel_wine_home/prefix-0
}

# Every process started from here gets the lock's fd closed, so nothing that outlives us holds the prefix.
_tarvel_wine_detached() {
  "$@" </dev/null >/dev/null 2>&1 {_tarvel_wine_lock_fd}>&-
}

_tarvel_wine_start_display() {
  if [ "${TARVEL_WINE_OWN_DISPLAY:-0}" != 1 ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    _tarvel_wine_log "using DISPLAY=$DISPLAY"
    return 0
  fi
  local displayfile i
  displayfile=$(mktemp) || return 1
  # -displayfd: Xvfb takes the first free display and writes its number once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" \
    </dev/null >/dev/null 2>&1 {_tarvel_wine_lock_fd}>&- &
  _tarvel_xvfb_pid=$!
  for i in $(seq 100); do
    [ -s "$displayfile" ] && break
    kill -0 "$_tarvel_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$displayfile" ]; then
    _tarvel_wine_log "Xvfb did not start"
    rm -f "$displayfile"
    return 1
  fi
  export DISPLAY=:$(tr -dc 0-9 <"$displayfile")
  rm -f "$displayfile"
  for i in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  _tarvel_wine_log "Xvfb pid $_tarvel_xvfb_pid on DISPLAY=$DISPLAY"
}

_tarvel_wine_stop_server() {
  timeout 20 wineserver -k >/dev/null 2>&1
  # -w only after -k: with a persistent server it would wait for ever.
  timeout 20 wineserver -w >/dev/null 2>&1
  return 0
}

_tarvel_wine_reg_add() {
  tarvel_wine_run _tarvel_wine_detached wine reg add "$1" /v "$2" /d "$3" /f
}

# Whether the prefix starts a 32-bit program (the exe that ships is one). Wine fills the prefix's
# syswow64 only when it makes the prefix, so one made before wine32 was installed never can: Wine then
# says "could not load kernel32.dll" and exits 53. Leaves no server behind.
_tarvel_wine_runs_32bit() {
  local rc=0
  tarvel_wine_run _tarvel_wine_detached wine 'C:\windows\syswow64\cmd.exe' /c exit 0 || rc=1
  _tarvel_wine_stop_server
  return "$rc"
}

# Makes the prefix unless a whole one is there: .tarvel-ready once it is configured, .tarvel-32bit once
# a 32-bit program has run in it. A prefix without the second is tried once and made again if it fails,
# unless the caller runs 64-bit programs only.
_tarvel_wine_make_prefix() {
  if [ -f "$WINEPREFIX/.tarvel-ready" ]; then
    [ -f "$WINEPREFIX/.tarvel-32bit" ] && return 0
    [ "${TARVEL_WINE_64BIT_ONLY:-0}" = 1 ] && return 0
    if _tarvel_wine_runs_32bit; then
      touch "$WINEPREFIX/.tarvel-32bit"
      return 0
    fi
    _tarvel_wine_log "$WINEPREFIX cannot start 32-bit programs (made before wine32 was installed?)"
  fi
  local t0
  t0=$(_tarvel_wine_now)
  _tarvel_wine_log "creating $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  # stdio away from any pipe: the services this first process starts inherit it and would hold it open.
  tarvel_wine_run _tarvel_wine_detached wineboot -i
  # The registry files appear only once the server has exited.
  timeout 120 wineserver -w >/dev/null 2>&1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    _tarvel_wine_log "wineboot did not create the prefix"
    return 1
  fi
  # A virtual desktop stands in for the missing window manager: without it Wine waits about 2 s
  # each time a window is hidden or destroyed.
  _tarvel_wine_reg_add 'HKCU\Software\Wine\Explorer' Desktop Default || return 1
  _tarvel_wine_reg_add 'HKCU\Software\Wine\Explorer\Desktops' Default 1024x768 || return 1
  # The dialog asks for MS Gothic; IPAGothic has the closest metrics of the free fonts.
  _tarvel_wine_reg_add 'HKCU\Software\Wine\Fonts\Replacements' 'MS Gothic' IPAGothic || return 1
  _tarvel_wine_reg_add 'HKCU\Software\Wine\Fonts\Replacements' 'ＭＳ ゴシック' IPAGothic || return 1
  # Without it the caption buttons show as letters: Wine does not find Debian's copy.
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || return 1
  # The settings apply from the next server start.
  timeout 60 wineserver -w >/dev/null 2>&1
  if _tarvel_wine_runs_32bit; then
    touch "$WINEPREFIX/.tarvel-32bit"
  elif [ "${TARVEL_WINE_64BIT_ONLY:-0}" != 1 ]; then
    _tarvel_wine_log "Wine cannot start 32-bit programs: wine32:i386 is missing (run scripts/setup)"
    return 1
  fi
  touch "$WINEPREFIX/.tarvel-ready"
  _tarvel_wine_log "prefix created in $(_tarvel_wine_since "$t0") s"
}

_tarvel_wine_start() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  local t0
  t0=$(_tarvel_wine_now)
  _tarvel_wine_pick_locale
  _tarvel_wine_lock_prefix || { _tarvel_wine_log "cannot lock a prefix in $tarvel_wine_home"; return 1; }
  # A server left behind by a killed run would keep its old display and environment.
  [ -d "$WINEPREFIX" ] && _tarvel_wine_stop_server
  _tarvel_wine_start_display || return 1
  _tarvel_wine_make_prefix || return 1
  # One persistent server for the whole session: otherwise every program pays about 2.7 s of start-up.
  _tarvel_wine_detached wineserver -p || { _tarvel_wine_log "wineserver -p failed"; return 1; }
  _tarvel_wine_server_started=1
  # The first Wine process starts the desktop and services, which inherit its stdio: never a pipe here,
  # or ctest would wait for that pipe to close until its timeout.
  tarvel_wine_run _tarvel_wine_detached wine cmd /c exit 0
  _tarvel_wine_log "ready in $(_tarvel_wine_since "$t0") s: WINEPREFIX=$WINEPREFIX DISPLAY=$DISPLAY" \
    "locale=${TARVEL_WINE_LOCALE:-default}"
}

# Kills every Wine process of the prefix and the private Xvfb, and gives the prefix free. Safe to call twice.
tarvel_wine_cleanup() {
  if [ -n "$_tarvel_wine_server_started" ] || [ -n "$_tarvel_xvfb_pid" ]; then
    [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && _tarvel_wine_stop_server
    _tarvel_wine_server_started=
  fi
  if [ -n "$_tarvel_xvfb_pid" ]; then
    kill "$_tarvel_xvfb_pid" 2>/dev/null
    wait "$_tarvel_xvfb_pid" 2>/dev/null
    _tarvel_xvfb_pid=
  fi
  if [ -n "$_tarvel_wine_lock_fd" ]; then
    exec {_tarvel_wine_lock_fd}>&-
    _tarvel_wine_lock_fd=
  fi
  return 0
}

if ! _tarvel_wine_start; then
  tarvel_wine_cleanup
  return 1 2>/dev/null || exit 1
fi
# A safety net for callers that set no EXIT trap of their own.
[ -z "$(trap -p EXIT)" ] && trap tarvel_wine_cleanup EXIT
true
