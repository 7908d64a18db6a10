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
# A loaded machine (CI builds beside us) can take many seconds to bring a
# server up; one that does not answer within 20 s, or dies because its number
# was taken meanwhile, is replaced by one on the next number (three tries).
start_display() {
  need Xvfb openbox xdotool
  local n tries=0 i xvfb
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    tries=$((tries + 1))
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >"$E2E_WORK/xvfb.log" 2>&1 &
    xvfb=$!
    export DISPLAY=:$n
    for i in $(seq 1 200); do
      xdpyinfo >/dev/null 2>"$E2E_WORK/xdpyinfo.log" && break
      kill -0 "$xvfb" 2>/dev/null || break
      sleep 0.1
    done
    if xdpyinfo >/dev/null 2>&1; then
      E2E_PIDS+=($xvfb)
      openbox >"$E2E_WORK/openbox.log" 2>&1 &
      E2E_PIDS+=($!)
      sleep 0.5
      return 0
    fi
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    [ "$tries" -lt 3 ] ||
      fail "Xvfb did not start on three displays: $(cat "$E2E_WORK/xvfb.log" "$E2E_WORK/xdpyinfo.log" 2>/dev/null)"
  done
  fail "no free X display"
}

# start_app [ARGUMENTS...]: the real program in the working folder; sets APP_PID.
start_app() {
  (cd "$E2E_WORK" && exec "$E2E_BIN_DIR/src/app/stellaro" "$@" >"$E2E_WORK/app.log" 2>&1) &
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

# wait_active TITLE [SECONDS]: waits until the window named exactly TITLE is the
# active one, the one that takes the keys typed next.
wait_active() {
  local title=$1 secs=${2:-20} i
  for i in $(seq 1 $((secs * 10))); do
    [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "$title" ] && return 0
    sleep 0.1
  done
  fail "window '$title' did not become active within ${secs}s (active: $(xdotool getactivewindow getwindowname 2>/dev/null))"
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

# answer_dialog TITLE NAME: types NAME into the open file dialog TITLE ("Save As",
# "Open") over whatever it proposes, and presses Return.
answer_dialog() {
  wait_window "$1" 30 >/dev/null
  wait_active "$1"
  key ctrl+a
  type_text "$2"
  key Return
}

# Type text into the focused window, as a user would.
type_text() { xdotool type --delay 30 -- "$1"; }
key() { xdotool key --delay 50 "$@"; }

# From the date box: date 0504, Tab to the gender group (Male), Tab over the
# lucky-number button, name "Ann Lee", sentiment "Happy days", then Tab on:
# leaving the sentiment box writes the profile into FOLDER/detail.fdg.
type_ann_lee_profile() {
  key ctrl+a; type_text "0504"
  key Tab Tab Tab
  key ctrl+a; type_text "Ann Lee"
  key Tab
  key ctrl+a; type_text "Happy days"
  key Tab
  for i in $(seq 1 50); do [ -f "$1/detail.fdg" ] && break; sleep 0.1; done
  [ -f "$1/detail.fdg" ] || fail "no detail.fdg in $1 after leaving the sentiment box"
}

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
}

# wait_complete_pdf FILE: cups-pdf names the file before it has finished writing
# it; a PDF is whole once it ends in its end-of-file marker.
wait_complete_pdf() {
  local i
  for i in $(seq 1 100); do
    tail -c 64 "$1" 2>/dev/null | grep -q '%%EOF' && return 0
    sleep 0.1
  done
  fail "$1 was not finished within 10s"
}

# wait_new_pdf [SECONDS]: prints the path of a PDF that cups-pdf wrote after need_cups_pdf.
wait_new_pdf() {
  local secs=${1:-60} i f
  for i in $(seq 1 $((secs * 5))); do
    f=$(find "$E2E_PDF_DIR" -maxdepth 1 -name '*.pdf' -newer "$E2E_PDF_MARK" 2>/dev/null | head -n 1)
    if [ -n "$f" ]; then wait_complete_pdf "$f"; echo "$f"; return 0; fi
    sleep 0.2
  done
  fail "no PDF arrived in $E2E_PDF_DIR within ${secs}s"
}

# --- Printing a profile as a user does ---------------------------------------

# Where the tests click the main window's controls, in client coordinates of
# its unscrolled content (the window is maximized, so nothing is scrolled).
# The rectangles come from the window's design table (design_positions); a
# control is clicked at its centre unless a part of it is meant: the lower
# item of the gender group, the number box of the spin edit (not its arrows).
declare -A E2E_AT=()
e2e_read_positions() {
  local name left top w h
  declare -A rect=()
  while read -r name left top w h; do
    rect[$name]="$left $top $w $h"
  done < <("$E2E_BIN_DIR/tests/tools/design_positions")
  e2e_point() {  # CONTROL X-QUARTERS Y-QUARTERS: a point of the control
    local r=(${rect[$1]:?the design has no control $1})
    echo "$((r[0] + r[2] * $2 / 4)) $((r[1] + r[3] * $3 / 4))"
  }
  E2E_AT=(
    [date]="$(e2e_point MaskEdit1 2 2)"
    [female]="$(e2e_point RadioGroup1 1 3)"
    [lucky]="$(e2e_point RadioButton1 2 2)"
    [spin]="$(e2e_point SpinEdit1 1 2)"
    [printsetup]="$(e2e_point Button4 2 2)"
    [preview]="$(e2e_point Button1 2 2)"
    [print]="$(e2e_point Button2 2 2)"
    [exit]="$(e2e_point Button3 2 2)"
  )
}
e2e_read_positions

# click WINDOW CONTROL: a left click on one of the controls above.
click() {
  local at=${E2E_AT[$2]:?unknown control $2}
  xdotool mousemove --window "$1" ${at% *} ${at#* } click 1
}

# choose_printer WINDOW QUEUE: PrintSetup, pick the queue in the printer list
# by typing its name, confirm with Enter. The system's default printer might
# be another queue; this makes the test independent of that.
choose_printer() {
  click "$1" printsetup
  wait_window "Print Setup" 15 >/dev/null
  wait_active "Print Setup"
  type_text "$2"
  key Return
  wait_gone "Print Setup" 15
}

# Logs the name of every window that becomes the active one (the window
# manager's _NET_ACTIVE_WINDOW, followed as X events, not polled) into
# $E2E_WORK/active.log until stop_active_watch: shows which windows took the
# focus while the program printed, however briefly.
start_active_watch() {
  need xprop
  E2E_ACTIVE_LOG=$E2E_WORK/active.log
  : >"$E2E_ACTIVE_LOG"
  xprop -root -spy _NET_ACTIVE_WINDOW > >(
    while read -r line; do
      xdotool getwindowname "${line##* }" 2>/dev/null || echo "(gone ${line##* })"
    done >>"$E2E_ACTIVE_LOG"
  ) 2>/dev/null &
  E2E_ACTIVE_WATCH=$!
  E2E_PIDS+=($E2E_ACTIVE_WATCH)
  # xprop reports the active window as soon as it starts watching.
  local i
  for i in $(seq 1 50); do [ -s "$E2E_ACTIVE_LOG" ] && return 0; sleep 0.1; done
  fail "the active-window watch did not start"
}
stop_active_watch() {
  kill "$E2E_ACTIVE_WATCH" 2>/dev/null || true
  wait "$E2E_ACTIVE_WATCH" 2>/dev/null || true
}

# progress_took_focus MAINWINDOW: whether the active-window log shows the
# progress window. It can come and go within milliseconds, before its name can
# be read; then a window of the same X client as the main window (same
# resource-id base) that is not the main window stands for it.
progress_took_focus() {
  local main=$1 line id
  grep -qx "PageReport version 1.0d" "$E2E_ACTIVE_LOG" && return 0
  while read -r line; do
    [[ $line =~ ^\(gone\ (0x[0-9a-f]+)\)$ ]] || continue
    id=$((BASH_REMATCH[1]))
    [ "$id" -ne 0 ] && [ "$id" -ne "$main" ] && [ $((id >> 21)) -eq $((main >> 21)) ] && return 0
  done <"$E2E_ACTIVE_LOG"
  return 1
}

# The ids of the queue's jobs, old and new, one a line.
queue_jobs() { lpstat -W all -o PDF 2>/dev/null | awk '{ sub(/^PDF-/, "", $1); print $1 }' | sort; }
# The ids of jobs that reached the queue since queue_jobs >$E2E_WORK/jobs.before.
new_queue_jobs() { queue_jobs | comm -13 "$E2E_WORK/jobs.before" -; }
# only_our_job WHAT: the queue is shared with everything else on the machine,
# and cups-pdf names a sheet only by job, so a second job since jobs.before
# makes it impossible to tell which sheet is ours: skip rather than check a
# stranger's sheet.
only_our_job() {
  local jobs
  jobs=$(new_queue_jobs | wc -l)
  [ "$jobs" -le 1 ] || skip "$1: $jobs jobs reached the queue PDF at once; another program printed meanwhile"
}

# print_sheet WINDOW NAME: clicks Print and waits for the sheet to arrive in the
# cups-pdf queue; moves it to $E2E_WORK/NAME.pdf (so the queue's folder does
# not fill up) and sets E2E_SHEET to that path. Watches the active window
# meanwhile and fails unless the progress window came up and the main window
# is active again at the end. Call it directly, not in $(...): the watcher
# must belong to the test's own shell so that the exit trap ends it.
print_sheet() {
  local win=$1 name=$2 pdf="" id i
  queue_jobs >"$E2E_WORK/jobs.before"
  start_active_watch
  click "$win" print
  for i in $(seq 1 450); do
    for id in $(new_queue_jobs); do
      pdf=$(find "$E2E_PDF_DIR" -maxdepth 1 -name "*-job_$id.pdf" 2>/dev/null | head -n 1)
      [ -n "$pdf" ] && break
    done
    [ -n "$pdf" ] && break
    if xdotool search --onlyvisible --name '^FStellaro$' >/dev/null 2>&1; then
      screenshot "$name-error"
      fail "$name: an error box came up instead of the sheet (screenshot $name-error.png with E2E_KEEP=1)"
    fi
    sleep 0.2
  done
  [ -n "$pdf" ] || fail "$name: no PDF arrived in $E2E_PDF_DIR within 90s"
  wait_complete_pdf "$pdf"
  only_our_job "$name"
  mv "$pdf" "$E2E_WORK/$name.pdf"
  # Printing is over once the watch has seen the main window active again.
  for i in $(seq 1 50); do
    [ "$(tail -n 1 "$E2E_ACTIVE_LOG")" = "Stellaro Ver 1.04" ] && break
    sleep 0.1
  done
  stop_active_watch
  E2E_SHEET=$E2E_WORK/$name.pdf
  progress_took_focus "$win" ||
    fail "$name: no progress window took the focus while printing (active windows: $(uniq "$E2E_ACTIVE_LOG" | tr '\n' '|'))"
  [ "$(tail -n 1 "$E2E_ACTIVE_LOG")" = "Stellaro Ver 1.04" ] ||
    fail "$name: the main window is not active after printing (active windows: $(uniq "$E2E_ACTIVE_LOG" | tr '\n' '|'))"
  return 0
}

# check_sheet PDF PAGE MARGIN [sheet_check.py options]: the printed sheet against
# the page design with the printed matter MARGIN design units (1/96 inch) in from
# the printable area; prints "origin X Y" of the printable area in design units.
check_sheet() {
  need python3 pdfinfo
  python3 "$E2E_SRC_DIR/tests/e2e/sheet_check.py" "$1" --page "$2" --margin "$3" "${@:4}"
}

# Design units (1/96 inch) for a left margin in tenths of an inch or in millimetres,
# rounded as the report does (half to even).
margin_tenths() { python3 -c "print(round($1 * 0.1 * 96))"; }
margin_mm() { python3 -c "print(round($1 / 25.4 * 96))"; }
