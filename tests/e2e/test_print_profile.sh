#!/usr/bin/env bash
# A male profile typed as a user types it, with lucky numbers, printed on the
# cups-pdf queue: one landscape A4 sheet with the border strips pixel for pixel
# where the design puts them, text in every label and no ink anywhere else.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_cups_pdf
need python3 pdfinfo

start_display
start_app
win=$(wait_window "Stellaro Ver 1.04")
wait_active "Stellaro Ver 1.04"
choose_printer "$win" PDF

# Date, Tab to the gender group (Male), over the lucky-number button to the
# name and the sentiment; leaving the sentiment writes the profile. Then draw
# the lucky numbers; leaving their button for Print writes them too.
click "$win" date
type_ann_lee_profile "$E2E_WORK"
click "$win" lucky
print_sheet "$win" male

line() { sed -n "${1}p" "$E2E_WORK/detail.fdg" | tr -d '\r'; }
[ "$(line 1)" = "Aries" ] || fail "sign line: '$(line 1)'"
[ "$(line 11)" = "Ann Lee" ] || fail "name line: '$(line 11)'"
grep -Eq '^([0-9]+ ){5}[0-9]+$' <(line 13) || fail "lucky-number line: '$(line 13)'"

# The pages print at their design margin of 5 mm until the offset is touched.
check_sheet "$E2E_SHEET" male "$(margin_mm 5)" >"$E2E_WORK/male.origin" ||
  fail "the male sheet does not match its design (see above; E2E_KEEP=1 keeps $E2E_SHEET)"

# The matter starts at the printable area's corner plus the margin. The queue
# has the same margin on every side (none of its own; the print system may
# keep a small one), so the corner lies as far in from the left as from the
# top, and within a quarter inch.
read -r _ ox oy <"$E2E_WORK/male.origin"
awk -v x="$ox" -v y="$oy" 'BEGIN { d = x - y; exit !(d <= 1 && d >= -1 && x >= 0 && x <= 24) }' ||
  fail "the printable area's corner is at $ox, $oy design units: the matter is not where the margin puts it"

# The checker is not blind: the same sheet read as the female design fails,
# and so does a claim that the lucky numbers print nothing.
check_sheet "$E2E_SHEET" female "$(margin_mm 5)" >/dev/null 2>&1 &&
  fail "the male sheet also passes as the female design"
check_sheet "$E2E_SHEET" male "$(margin_mm 5)" --empty QRLabel23 >/dev/null 2>&1 &&
  fail "the lucky numbers left no ink"
echo "PASS"
