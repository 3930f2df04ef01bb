# Shared by the Wine wrapper and the Wine session script (sourced, not run).
# Expects WINE_DIR: the build's Wine folder (prefix, session state, lock).

find_wine_tool() {
  local name
  for name in "$@"; do
    if command -v "$name" >/dev/null 2>&1; then command -v "$name"; return 0; fi
    if [ -x "/usr/lib/wine/$name" ]; then echo "/usr/lib/wine/$name"; return 0; fi
  done
  echo "wine tool not found: $*" >&2
  return 1
}

WINE=$(find_wine_tool wine64 wine) || exit 127
WINESERVER=$(find_wine_tool wineserver64 wineserver) || exit 127
export WINEPREFIX="$WINE_DIR/prefix"
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: nothing here needs them, and they would ask.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=}

# Creates the prefix once; concurrent callers wait for the first one.
ensure_prefix() {
  mkdir -p "$WINE_DIR"
  [ -f "$WINEPREFIX/.quorla-ready2" ] && return 0
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.quorla-ready2" ]; then
      "$WINE" wineboot -i >/dev/null 2>&1
      # Xvfb has no window manager: unmanaged windows keep Wine from waiting
      # 2 s for one each time a captioned window is hidden or destroyed.
      "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      "$WINESERVER" -w
      touch "$WINEPREFIX/.quorla-ready2"
    fi
  ) 9>"$WINE_DIR/.lock"
}

# The prefix that GUI test programs run in, each with a wineserver of its
# own (see wine-run). A copy of the main prefix, made once.
GUI_PREFIX="$WINE_DIR/prefix-gui"
ensure_gui_prefix() {
  ensure_prefix || return 1
  [ -f "$GUI_PREFIX/.quorla-ready2" ] && return 0
  (
    flock 9
    if [ ! -f "$GUI_PREFIX/.quorla-ready2" ]; then
      rm -rf "$GUI_PREFIX.tmp"
      cp -a "$WINEPREFIX" "$GUI_PREFIX.tmp" && rm -rf "$GUI_PREFIX" && mv "$GUI_PREFIX.tmp" "$GUI_PREFIX"
    fi
  ) 9>"$WINE_DIR/.lock"
  [ -f "$GUI_PREFIX/.quorla-ready2" ]
}

session_display() {
  [ -f "$WINE_DIR/session/display" ] || return 1
  local pid
  pid=$(cat "$WINE_DIR/session/xvfb.pid" 2>/dev/null) || return 1
  kill -0 "$pid" 2>/dev/null || return 1
  cat "$WINE_DIR/session/display"
}

# Starts Xvfb on a free display; prints the display name, records the pid.
start_xvfb() {
  local state=$1 fifo
  mkdir -p "$state"
  fifo="$state/displayfd"
  rm -f "$fifo"; mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  local num
  read -r num <"$fifo"
  rm -f "$fifo"
  echo ":$num" >"$state/display"
  echo ":$num"
}

stop_xvfb() {
  local state=$1 pid
  pid=$(cat "$state/xvfb.pid" 2>/dev/null) || return 0
  kill "$pid" 2>/dev/null
  while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
  rm -f "$state/xvfb.pid" "$state/display"
}
