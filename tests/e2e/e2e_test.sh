#!/usr/bin/env bash
# One end-to-end case: the real program against the stand-in services on a private
# Xvfb display, with its own HOME, desktop and scratch folder.
#   e2e_test.sh CASE SIGNMAKER SIGNMAKER-SERVICES E2E-CLOSE-WINDOW
# CASE: same_version  the published version is the program's: make and save a sign
#       other_version another version is published: notice, update window, package
#       offline       no network at all: notice, exit code 0, no request
# Exits 0 on success, 1 on failure, 77 when the case cannot run on this machine.
set -uo pipefail
case=$1 program=$2 services=$3 close_window=$4
root=$(cd "$(dirname "$0")/../.." && pwd)

if [ "$case" = offline ] && [ -z "${E2E_IN_NETWORK_NAMESPACE:-}" ]; then
  # A new network namespace holds only a loopback interface, which starts down.
  if [ "$(id -u)" != 0 ] || ! unshare --net true 2>/dev/null; then
    echo "skipped: a network namespace needs root"
    exit 77
  fi
  exec unshare --net -- env E2E_IN_NETWORK_NAMESPACE=1 bash "$0" "$@"
fi
if [ -n "${E2E_IN_NETWORK_NAMESPACE:-}" ]; then ip link set lo up || exit 1; fi

SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/signmaker-e2e-$case.XXXXXX")
source "$root/scripts/lib/stand_in_session.sh"
passed=0
finish() {
  session_stop
  if ((passed)); then rm -rf "$SESSION_DIR"; else echo "kept for a look: $SESSION_DIR" >&2; fi
}
trap finish EXIT

fail() {
  echo "FAIL: $*" >&2
  session_screenshot "$SESSION_DIR/failure.png" 2>/dev/null || true
  echo "--- program log" >&2
  tail -n 20 "$SESSION_DIR/program.log" >&2 2>/dev/null || true
  echo "--- services log" >&2
  tail -n 20 "${SERVICES_LOG:-/dev/null}" >&2 || true
  exit 1
}

# Whether the files $1 and $2 hold the same bytes.
same_bytes() { [ -e "$1" ] && cmp -s "$1" "$2"; }

# The program's skin files, written into its current directory before anything else.
expect_skin_files() {
  local file
  for file in jedata.dll 皮肤.she; do
    session_wait_for 10 test -s "$SESSION_DIR/run/$file" || fail "skin file $file not written"
  done
}

# Waits for the program to end and expects exit code 0.
expect_clean_exit() {
  session_wait_for 30 session_program_ended || fail "the program did not end"
  ((PROGRAM_STATUS == 0)) || fail "the program ended with exit code $PROGRAM_STATUS"
}

case $case in
same_version)
  session_start_services "$services" || fail "services"
  session_start_display || fail "display"
  session_start_program "$program"
  session_wait_window "$MAIN_WINDOW_SIZE" 60 || fail "no main window"
  main=$FOUND_WINDOW
  expect_skin_files

  words="E2E 举牌 test 42"
  session_make_sign "$main" 3 "$words"
  session_wait_for 60 grep -q '"GET /pic/' "$SERVICES_LOG" || fail "no picture fetched"
  posts=$(grep '"POST ' "$SERVICES_LOG")
  [ "$(wc -l <<<"$posts")" = 1 ] || fail "expected one post, got: $posts"
  grep -qF "\"POST /p/re105.php\" 200 " <<<"$posts" || fail "post of style 3 not accepted: $posts"
  grep -qF "style=3 words=\"$words\" " <<<"$posts" || fail "posted words differ: $posts"
  picture=$(sed -n 's/.* picture=\(\/pic\/[0-9a-f]*\.jpg\).*/\1/p' <<<"$posts")
  curl -sf --max-time 10 -o "$SESSION_DIR/served.jpg" "http://127.0.0.1:$SERVICES_PORT$picture" ||
    fail "cannot fetch $picture again"

  session_save_sign "$main"
  saved="$DESKTOP_DIR/举心形牌子照.jpg"
  session_wait_for 30 same_bytes "$saved" "$SESSION_DIR/served.jpg" ||
    fail "the desktop holds no copy of the served picture: $(ls -l "$DESKTOP_DIR")"

  "$close_window" "$main" || fail "cannot close the main window"
  expect_clean_exit
  ;;

other_version)
  session_start_services "$services" --version 6.5 --package-size 2500000 || fail "services"
  curl -sf --max-time 10 -o "$SESSION_DIR/served.zip" "http://127.0.0.1:$SERVICES_PORT/vink.zip" ||
    fail "cannot fetch the package"
  session_start_display || fail "display"
  session_start_program "$program"
  session_wait_window_named "砚禾提示您！" 60 || fail "no update notice"
  expect_skin_files
  session_keys "$FOUND_WINDOW" Return

  session_wait_window 692x74 30 || fail "no update window"
  update=$FOUND_WINDOW
  session_wait_for 120 same_bytes "$DESKTOP_DIR/vink.zip" "$SESSION_DIR/served.zip" ||
    fail "vink.zip on the desktop differs from the package: $(ls -l "$DESKTOP_DIR")"
  ranges=$(grep -c '"GET /vink.zip" 206 ' "$SERVICES_LOG")
  ((ranges == 3)) || fail "expected three range requests for 2.5 MB, saw $ranges"
  [ -z "$(session_program_windows | grep -vx "$update")" ] || fail "another window is visible"

  "$close_window" "$update" || fail "cannot close the update window"
  expect_clean_exit
  ;;

offline)
  session_start_services "$services" || fail "services"
  session_start_display || fail "display"
  session_start_program "$program"
  session_wait_window_named "信息：" 60 || fail "no offline notice"
  expect_skin_files
  session_keys "$FOUND_WINDOW" Return
  expect_clean_exit
  [ ! -s "$SERVICES_LOG" ] || fail "requests were sent: $(cat "$SERVICES_LOG")"
  ;;

*)
  echo "unknown case $case" >&2
  exit 2
  ;;
esac
passed=1
echo "passed: $case"
