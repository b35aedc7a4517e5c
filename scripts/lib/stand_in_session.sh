# Shell functions shared by scripts/demo and the end-to-end tests: the stand-in
# services, a private X display, the program run in a scratch folder with its own
# HOME, and driving its main window as a person would. Source it; every process it
# starts is recorded in session_pids and ended by session_stop.
#
# The caller sets SESSION_DIR (an empty folder for this session) before calling
# anything here; everything the session writes goes below it.

session_pids=()

# The words typed into the window are UTF-8; xdotool reads them in the locale's
# encoding, which on a bare machine (or under CI) may be plain ASCII.
export LC_ALL=C.UTF-8

session_log() { echo "[$(date +%H:%M:%S)] $*" >&2; }

# Waits up to $1 seconds for the command after it to succeed; fails afterwards.
session_wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  while true; do
    if "$@"; then return 0; fi
    if ((SECONDS >= deadline)); then return 1; fi
    sleep 0.1
  done
}

# Ends every process this session started, newest first, and waits for each.
session_stop() {
  local i pid
  for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
    pid=${session_pids[i]}
    if kill -0 "$pid" 2>/dev/null; then
      kill -TERM "$pid" 2>/dev/null || true
      session_wait_for 10 eval "! kill -0 $pid 2>/dev/null" || kill -KILL "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
  done
  session_pids=()
}

_session_file_nonempty() { [ -s "$1" ]; }

# Starts signmaker-services ($1) with the options after it, on a free loopback port.
# Sets SERVICES_PORT and SERVICES_LOG (one line per request) and exports
# SIGNMAKER_CONNECT_TO so that the program's three hosts reach the services.
session_start_services() {
  local program=$1
  shift
  SERVICES_LOG=$SESSION_DIR/services.log
  : >"$SERVICES_LOG"
  "$program" --port 0 "$@" >"$SESSION_DIR/services.port" 2>"$SERVICES_LOG" &
  session_pids+=($!)
  if ! session_wait_for 30 _session_file_nonempty "$SESSION_DIR/services.port"; then
    session_log "the stand-in services did not start"
    return 1
  fi
  SERVICES_PORT=$(head -n1 "$SESSION_DIR/services.port")
  local route="127.0.0.1:$SERVICES_PORT"
  export SIGNMAKER_CONNECT_TO="www.vobta.example:80:$route,portrait.qq.example:80:$route,download.signmaker.example:80:$route"
  session_log "stand-in services on port $SERVICES_PORT"
}

# Starts Xvfb on a free display number and exports DISPLAY.
session_start_display() {
  local numberFile=$SESSION_DIR/display.number
  : >"$numberFile"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberFile" >"$SESSION_DIR/xvfb.log" 2>&1 &
  session_pids+=($!)
  if ! session_wait_for 30 _session_file_nonempty "$numberFile"; then
    session_log "Xvfb did not start"
    return 1
  fi
  export DISPLAY=":$(head -n1 "$numberFile")"
  session_log "private display $DISPLAY"
}

# Starts the program ($1) in the scratch folder $SESSION_DIR/run (where it writes its
# skin files) with HOME $SESSION_DIR/home and its desktop $SESSION_DIR/home/Desktop;
# with $2 = keep-home it keeps the user's HOME instead. Sets PROGRAM_PID; the
# program's standard output and error go to $SESSION_DIR/program.log.
session_start_program() {
  local program home=$SESSION_DIR/home
  program=$(realpath "$1")
  if [ "${2:-}" = keep-home ]; then home=$HOME; fi
  mkdir -p "$SESSION_DIR/run" "$SESSION_DIR/home/Desktop"
  DESKTOP_DIR=$SESSION_DIR/home/Desktop
  (cd "$SESSION_DIR/run" &&
    exec env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_RUNTIME_DIR \
      -u QT_QPA_PLATFORM HOME="$home" "$program") >"$SESSION_DIR/program.log" 2>&1 &
  PROGRAM_PID=$!
  session_pids+=("$PROGRAM_PID")
}

# Whether the program has ended; sets PROGRAM_STATUS to its exit code when it has.
session_program_ended() {
  if kill -0 "$PROGRAM_PID" 2>/dev/null; then return 1; fi
  wait "$PROGRAM_PID" 2>/dev/null
  PROGRAM_STATUS=$?
  return 0
}

# The visible top-level windows of the program, one id a line.
session_program_windows() {
  xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null || true
}

_session_window_with_size() {
  local id geometry
  for id in $(session_program_windows); do
    geometry=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p')
    if [ "$geometry" = "$1" ]; then
      FOUND_WINDOW=$id
      return 0
    fi
  done
  return 1
}

# Waits up to $2 seconds for a visible window of the program of size $1 ("646x579");
# sets FOUND_WINDOW to its id.
session_wait_window() {
  FOUND_WINDOW=
  session_wait_for "$2" _session_window_with_size "$1"
}

# The screen position of the window's client area: sets WINDOW_X and WINDOW_Y.
session_window_origin() {
  local position
  position=$(xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  read -r WINDOW_X WINDOW_Y <<<"$position"
}

# Clicks the left button at ($2, $3) inside window $1's client area.
session_click() {
  session_window_origin "$1"
  xdotool mousemove --sync $((WINDOW_X + $2)) $((WINDOW_Y + $3)) click 1
}

# Gives the keyboard focus to window $1 and presses the keys after it.
session_keys() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool key --clearmodifiers "$@"
}

# A screenshot of the whole display, as PNG, to $1.
session_screenshot() {
  import -display "$DISPLAY" -window root "$1"
}

# The main window: its outer size, and where the tab page's client area lies inside
# the window's client area (below the tab bar).
MAIN_WINDOW_SIZE=646x579
PAGE_X=2
PAGE_Y=26

# Clicks the centre of the main window's control at page position ($2, $3) with size
# ($4, $5); $1 is the window.
session_click_control() {
  session_click "$1" $((PAGE_X + $2 + $4 / 2)) $((PAGE_Y + $3 + $5 / 2))
}

# In main window $1: selects style row $2 of the style list by clicking the first row
# and moving down with the arrow key, clicks the first line (which empties it), types
# the words $3 and presses the make button.
session_make_sign() {
  local window=$1 row=$2 words=$3
  session_click "$window" $((PAGE_X + 100)) $((PAGE_Y + 40))
  if ((row > 0)); then xdotool key --clearmodifiers --repeat "$row" Down; fi
  session_click_control "$window" 400 456 240 96
  xdotool type --delay 60 "$words"
  session_click_control "$window" 200 500 100 50
}

# In main window $1: presses the save button.
session_save_sign() {
  session_click_control "$1" 300 500 100 50
}

_session_window_named() {
  local id
  for id in $(session_program_windows); do
    if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ]; then
      FOUND_WINDOW=$id
      return 0
    fi
  done
  return 1
}

# Waits up to $2 seconds for a visible window of the program titled $1; sets
# FOUND_WINDOW to its id.
session_wait_window_named() {
  FOUND_WINDOW=
  session_wait_for "$2" _session_window_named "$1"
}
