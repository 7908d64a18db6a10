#!/usr/bin/env bash
# Print first thing after start, in a folder without detail.fdg: the page
# cannot be filled, so an error box comes up and nothing is printed. The
# program carries on: once a profile is written, Print gives the sheet.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_cups_pdf
need python3 pdfinfo

start_display
start_app
win=$(wait_window "Stellaro Ver 1.04")
sleep 0.5
choose_printer "$win" PDF

queue_jobs >"$E2E_WORK/jobs.before"
click "$win" print
box=$(wait_window "FStellaro" 30)
screenshot error_box
[ ! -e "$E2E_WORK/detail.fdg" ] || fail "Print alone wrote detail.fdg"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
xdotool windowactivate --sync "$box" 2>/dev/null || true
key Return
wait_gone "FStellaro" 10

# No job reached the queue.
sleep 3
only_our_job "print without a profile"
[ -z "$(new_queue_jobs)" ] || fail "a job reached the queue although the page could not be filled: $(new_queue_jobs)"

# Leaving the date box for the gender group and the group for the lucky-number
# button writes the profile of the date box's 0101; Print now works.
click "$win" date
key Tab Tab
for i in $(seq 1 50); do [ -f "$E2E_WORK/detail.fdg" ] && break; sleep 0.1; done
[ "$(sed -n 1p "$E2E_WORK/detail.fdg" | tr -d '\r')" = "Capricorn" ] || fail "no Capricorn profile after leaving the gender group"
print_sheet "$win" after_error
check_sheet "$E2E_SHEET" male "$(margin_mm 5)" --empty QRLabel23 >/dev/null ||
  fail "the sheet printed after the error does not match the design"
echo "PASS"
