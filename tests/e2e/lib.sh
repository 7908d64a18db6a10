# Shared helpers for the end-to-end tests: source this file from tests/e2e/test_*.sh.
# Each test gets its own Xvfb display with openbox (so windows can be maximized),
# its own working folder (where detail.fdg lands), and the CUPS queue "PDF".
# Exit status 77 marks a test as skipped (a tool is missing).
set -euo pipefail

E2E_BIN_DIR=${STELLARO_BIN_DIR:?run this through ctest}
E2E_SRC_DIR=${STELLARO_SOURCE_DIR:?run this through ctest}
E2E_WORK=$(mktemp -d /tmp/stellaro-e2e.XXXXXX)
E2E_PIDS=()

e2e_cleanup() {
  local p
  for p in "${E2E_PIDS[@]:-}"; do [ -n "$p" ] && kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${E2E_KEEP:-}" ] || rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*" >&2; exit 77; }
need() { local t; for t in "$@"; do command -v "$t" >/dev/null || skip "$t is not installed"; done; }

# Start Xvfb on a free display number and openbox on it; exports DISPLAY.
start_display() {
  need Xvfb openbox xdotool
  local n
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    export DISPLAY=:$n
    local i
    for i in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
    openbox >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    sleep 0.5
    return 0
  done
  fail "no free X display"
}

# Start the real program in the working folder; sets APP_PID.
start_app() {
  (cd "$E2E_WORK" && exec "$E2E_BIN_DIR/src/app/stellaro" >"$E2E_WORK/app.log" 2>&1) &
  APP_PID=$!
  E2E_PIDS+=($APP_PID)
}

# wait_window TITLE [SECONDS]: prints the window id of the visible window named exactly TITLE.
wait_window() {
  local title=$1 secs=${2:-20} i id
  for i in $(seq 1 $((secs * 10))); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  fail "window '$title' did not appear within ${secs}s"
}

# wait_gone TITLE [SECONDS]
wait_gone() {
  local title=$1 secs=${2:-20} i
  for i in $(seq 1 $((secs * 10))); do
    xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window '$title' is still there after ${secs}s"
}

# Type text into the focused window, as a user would.
type_text() { xdotool type --delay 30 -- "$1"; }
key() { xdotool key --delay 50 "$@"; }

# screenshot NAME: the whole display as PNG into the working folder (kept with E2E_KEEP=1).
screenshot() {
  command -v import >/dev/null && import -window root "$E2E_WORK/$1.png" 2>/dev/null || true
}

# The CUPS queue "PDF" (cups-pdf) must exist; PDFs land in ~/PDF.
need_cups_pdf() {
  need lpstat pdftoppm
  lpstat -p PDF >/dev/null 2>&1 || skip "CUPS queue PDF is not set up (bash tools/dev.sh test does that)"
  E2E_PDF_DIR=${HOME:-/root}/PDF
  mkdir -p "$E2E_PDF_DIR"
  E2E_PDF_MARK=$E2E_WORK/pdf-mark
  touch "$E2E_PDF_MARK"
  sleep 1
}

# wait_new_pdf [SECONDS]: prints the path of a PDF that cups-pdf wrote after need_cups_pdf.
wait_new_pdf() {
  local secs=${1:-60} i f
  for i in $(seq 1 $((secs * 5))); do
    f=$(find "$E2E_PDF_DIR" -maxdepth 1 -name '*.pdf' -newer "$E2E_PDF_MARK" 2>/dev/null | head -n 1)
    if [ -n "$f" ]; then sleep 1; echo "$f"; return 0; fi
    sleep 0.2
  done
  fail "no PDF arrived in $E2E_PDF_DIR within ${secs}s"
}
