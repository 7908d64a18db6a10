#!/usr/bin/env bash
# Print composes what the window shows. A date typed and Print clicked straight
# away prints the new sign, not the profile written before it; a date without a
# sign stops Print with an error box that says why, and nothing prints; a name
# pasted with line breaks keeps detail.fdg at 13 lines.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need pdfinfo pdftotext xclip

# Printed on the built-in PDF printer, whose PDF keeps its text readable.
start_display
start_app
win=$(wait_window "Stellaro Ver 1.04")
choose_printer "$win" Print # "Print to PDF": a space would open the list
print_to_pdf() {
  click "$win" print
  answer_dialog "Save As" "$E2E_WORK/$1.pdf"
  wait_gone "Save As" 15
  for i in $(seq 1 100); do [ -s "$E2E_WORK/$1.pdf" ] && break; sleep 0.1; done
  [ -s "$E2E_WORK/$1.pdf" ] || fail "no $1.pdf after printing"
}
line() { sed -n "${1}p" "$E2E_WORK/detail.fdg" | tr -d '\r'; }

# Leaving the date box and the gender group writes the profile of 0101.
click "$win" date
key Tab Tab
for i in $(seq 1 50); do [ -f "$E2E_WORK/detail.fdg" ] && break; sleep 0.1; done
[ "$(line 1)" = "Capricorn" ] || fail "no Capricorn profile after leaving the gender group"

# Now a new date and straight to Print.
click "$win" date
key ctrl+a; type_text "2503"
print_to_pdf aries
[ "$(pdfinfo "$E2E_WORK/aries.pdf" | awk '/^Pages:/ { print $2 }')" = 1 ] || fail "the sheet is not one page"
pdftotext "$E2E_WORK/aries.pdf" "$E2E_WORK/aries.txt"
grep -q "Aries" "$E2E_WORK/aries.txt" || fail "the sheet does not carry the sign the window shows"
grep -q "Capricorn" "$E2E_WORK/aries.txt" && fail "the sheet carries the earlier profile's sign"
[ "$(line 10)" = "March 25th" ] || fail "birthday line: '$(line 10)'"

# A date with no sign: an error box says so, nothing prints, the file stays.
click "$win" date
key ctrl+a; type_text "0000"
click "$win" print
box=$(wait_window "FStellaro" 30)
xdotool search --onlyvisible --name '^Save As$' >/dev/null 2>&1 && fail "Print asked for a file although there is no sign"
grep -q "the date gives no star sign" "$E2E_WORK/app.log" || fail "the error does not say why: $(cat "$E2E_WORK/app.log")"
xdotool windowactivate --sync "$box" 2>/dev/null || true
key Return
wait_gone "FStellaro" 10
[ "$(line 1)" = "Aries" ] || fail "the refused print changed detail.fdg"

# A name pasted with line breaks: one line of spaces, 13 lines in the file.
click "$win" date
key ctrl+a; type_text "0505"
key Tab Tab Tab
printf 'Line1\nLine2\nLine3\nEnd' | xclip -selection clipboard
key ctrl+a ctrl+v
key Tab
for i in $(seq 1 50); do [ "$(line 11)" = "Line1 Line2 Line3 End" ] && break; sleep 0.1; done
[ "$(line 11)" = "Line1 Line2 Line3 End" ] || fail "name line: '$(line 11)'"
[ "$(tr -cd '\n' <"$E2E_WORK/detail.fdg" | wc -c)" -eq 13 ] || fail "detail.fdg no longer has 13 lines"
[ "$(line 12)" = "Personal Sentiment Line" ] || fail "the sentiment moved: '$(line 12)'"
echo "PASS"
