# Shared helpers for running Windows programs under Wine with a private prefix and a private X display.
# Sourced by wine-exec, run and test. Nothing here touches the user's own prefix or display.

pelmo_log() { printf '[pelmo] %s\n' "$*" >&2; }

# pelmo_prefix_init DIR: creates the prefix once (under a lock), reuses it afterwards.
pelmo_prefix_init() {
  local prefix=$1
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.pelmo-ready-2" ]; then
      pelmo_log "creating Wine prefix $prefix"
      rm -rf "$prefix"
      # No Mono or Gecko: the program needs neither, and their installers would ask to download.
      WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
      # One virtual desktop for every program of the prefix, so keys sent from X reach Wine.
      WINEPREFIX=$prefix WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
      WINEPREFIX=$prefix WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${PELMO_DESKTOP_SIZE:-1280x800}" /f >/dev/null 2>&1
      # The program's dialogs ask for Japanese Windows fonts; map them to the CJK font we install.
      local face
      for face in "MS UI Gothic" "MS Gothic" "MS PGothic" "ＭＳ ゴシック" "ＭＳ Ｐゴシック" "Meiryo" "Meiryo UI"; do
        WINEPREFIX=$prefix WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "Noto Sans CJK JP" /f >/dev/null 2>&1
      done
      WINEPREFIX=$prefix WINEDEBUG=-all wineserver -k >/dev/null 2>&1
      WINEPREFIX=$prefix WINEDEBUG=-all wineserver -w >/dev/null 2>&1
      touch "$prefix/.pelmo-ready-2"
    fi
  ) 9>"$prefix.lock"
}

# pelmo_xvfb_start: starts a private Xvfb on a free display; sets DISPLAY and PELMO_XVFB_PID.
pelmo_xvfb_start() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${PELMO_SCREEN:-1280x800x24}" -nolisten tcp -noreset ${PELMO_XVFB_ARGS:-} \
    3>"$fdfile" >/dev/null 2>&1 &
  PELMO_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    if [ -s "$fdfile" ]; then break; fi
    if ! kill -0 "$PELMO_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.05
  done
  local num
  num=$(head -n1 "$fdfile" | tr -dc '0-9')
  rm -f "$fdfile"
  if [ -z "$num" ]; then
    pelmo_log "Xvfb did not start"
    return 1
  fi
  export DISPLAY=":$num"
  export PELMO_XVFB_PID
}

pelmo_xvfb_stop() {
  if [ -n "${PELMO_XVFB_PID:-}" ]; then
    kill "$PELMO_XVFB_PID" 2>/dev/null
    wait "$PELMO_XVFB_PID" 2>/dev/null
    PELMO_XVFB_PID=
  fi
}

# pelmo_wine_stop PREFIX: ends every process of the prefix, wineserver included.
pelmo_wine_stop() {
  WINEPREFIX=$1 WINEDEBUG=-all wineserver -k >/dev/null 2>&1
  WINEPREFIX=$1 WINEDEBUG=-all wineserver -w >/dev/null 2>&1 || true
}

# pelmo_is_pe32 FILE: true for a 32-bit Windows executable.
pelmo_is_pe32() {
  # The PE header's machine field: 0x14c is i386.
  local off machine
  off=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$off" ] || return 1
  machine=$(od -An -tx2 -j$((off + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  [ "$machine" = "014c" ]
}

# pelmo_has_wine32: true when this Wine can start 32-bit programs.
pelmo_has_wine32() {
  [ -x /usr/lib/wine/wine ] || [ -e /usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll ] || \
    [ -e /usr/lib/wine/i386-windows/kernel32.dll ]
}
