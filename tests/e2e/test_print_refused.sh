#!/usr/bin/env bash
# A queue that refuses jobs: Print shows an error box that names the printer
# and the reason, and nothing is lost in silence; the command line lists the
# queue among the printers, takes it as the default and fails on it as well.
# Once the queue accepts jobs again, Print gives one sheet; deleted, it is named
# as gone. The queue is this test's own, made after the program started (Print
# Setup must list it as it is now).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_cups_pdf
need lpadmin cupsreject cupsaccept

queue=StellaroRefuse$$
start_display
start_app
win=$(wait_window "Stellaro Ver 1.04")

lpadmin -p "$queue" -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E || skip "cannot add a CUPS queue"
remove_queue() { lpadmin -x "$queue" 2>/dev/null || true; e2e_cleanup; }
trap remove_queue EXIT
cupsreject "$queue"

# The command line has the same printer object: its printers are the CUPS
# queues, this one among them, and then the built-in PDF printer; --print alone
# takes CUPS's default queue (LPDEST names this one), whose refusal fails the
# command with status 1.
set +e
listed=$(cd "$E2E_WORK" && "$E2E_BIN_DIR/src/app/stellaro" compose --date 0504 --print --printer NoSuchQueue 2>&1)
listed_status=$?
refused=$(cd "$E2E_WORK" && LPDEST=$queue "$E2E_BIN_DIR/src/app/stellaro" compose --date 0504 --print 2>&1)
refused_status=$?
set -e
printers=$(sed -n "s/^stellaro: there is no printer named 'NoSuchQueue' (the printers are: \(.*\))$/\1/p" <<<"$listed")
[ "$listed_status" = 1 ] && [[ ", $printers, " == *", $queue, "* && "$printers" == *", Print to PDF" ]] ||
  fail "the printers are not the CUPS queues and then Print to PDF (status $listed_status): $listed"
[ "$refused_status" = 1 ] && grep -qxF "stellaro: Cannot print on \"$queue\": the printer is not accepting jobs" <<<"$refused" ||
  fail "--print on the default queue $queue that refuses jobs: status $refused_status, $refused"

choose_printer "$win" "$queue"

click "$win" date
key ctrl+a; type_text "0504"
click "$win" print
box=$(wait_window "FStellaro" 30)
expected="Cannot print on \"$queue\": the printer is not accepting jobs."
grep -qF "$expected" "$E2E_WORK/app.log" || fail "the error box does not say '$expected': $(cat "$E2E_WORK/app.log")"
xdotool windowactivate --sync "$box" 2>/dev/null || true
key Return
wait_gone "FStellaro" 10

# Accepting again: the next Print reaches the queue as one job and one sheet.
cupsaccept "$queue"
click "$win" print
for i in $(seq 1 300); do
  jobs=$(lpstat -W all -o "$queue" 2>/dev/null | wc -l)
  [ "$jobs" -ge 1 ] && break
  xdotool search --onlyvisible --name '^FStellaro$' >/dev/null 2>&1 && fail "an error box came up after cupsaccept: $(cat "$E2E_WORK/app.log")"
  sleep 0.2
done
[ "$jobs" -eq 1 ] || fail "$jobs jobs reached $queue after it accepted jobs again"
id=$(lpstat -W all -o "$queue" | awk '{ sub(/^.*-/, "", $1); print $1 }')
for i in $(seq 1 300); do
  pdf=$(find "$E2E_PDF_DIR" -maxdepth 1 -name "*-job_$id.pdf" 2>/dev/null | head -n 1)
  [ -n "$pdf" ] && break
  sleep 0.2
done
[ -n "$pdf" ] || fail "the accepted job left no sheet"
sleep 1
[ "$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')" = 1 ] || fail "the sheet is not one page"
rm -f "$pdf"

# The queue deleted while the program runs: the error says so.
lpadmin -x "$queue"
click "$win" print
box=$(wait_window "FStellaro" 30)
grep -qF "Cannot print on \"$queue\": the printer no longer exists." "$E2E_WORK/app.log" ||
  fail "no error naming the deleted queue: $(cat "$E2E_WORK/app.log")"
echo "PASS"
