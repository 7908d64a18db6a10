#!/usr/bin/env bash
# The print offset as a user sets it: the printed matter moves right by the
# spin edit's value in tenths of an inch instead of the design's 5 mm, labels
# and strips together, and a typed value beyond the limit prints at the limit.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_cups_pdf
need python3 pdfinfo

start_display
start_app
win=$(wait_window "Stellaro Ver 1.04")
wait_active "Stellaro Ver 1.04"
choose_printer "$win" PDF

click "$win" date
key ctrl+a; type_text "2309"
key Tab Tab Tab
key ctrl+a; type_text "Bo Berg"
key Tab
key ctrl+a; type_text "Onwards"
key Tab
click "$win" lucky

# sheet_at NAME MARGIN: checks the last printed sheet with the matter MARGIN
# design units in; prints the measured left edge of the matter (origin + margin)
# and the origin's top.
sheet_at() {
  local out
  out=$(check_sheet "$E2E_SHEET" male "$2") || fail "$1: the sheet does not match the design at margin $2 (see above)"
  awk -v m="$2" '$1 == "origin" { print $2 + m, $3 }' <<<"$out"
}

# moved WHAT FROM TO EXPECTED: the matter moved EXPECTED design units to the
# right, within one unit, and not up or down.
moved() {
  local what=$1 from=($2) to=($3) expected=$4
  awk -v a="${from[0]}" -v b="${to[0]}" -v e="$expected" 'BEGIN { d = b - a - e; exit !(d <= 1 && d >= -1) }' ||
    fail "$what: the matter moved $(awk -v a="${from[0]}" -v b="${to[0]}" 'BEGIN { print b - a }') units, expected $expected"
  awk -v a="${from[1]}" -v b="${to[1]}" 'BEGIN { d = b - a; exit !(d <= 1 && d >= -1) }' ||
    fail "$what: the matter moved vertically from ${from[1]} to ${to[1]}"
}

# At start the spin edit shows 3, but the pages keep their 5 mm design margin.
design=$(margin_mm 5)
print_sheet "$win" design
at_design=$(sheet_at design "$design")

# Two steps up with the arrow keys: 5 tenths of an inch.
click "$win" spin
key Up Up
print_sheet "$win" half_inch
at_half=$(sheet_at half_inch "$(margin_tenths 5)")
moved "0.5 inch" "$at_design" "$at_half" $(($(margin_tenths 5) - design))

# 25 typed; leaving the box sets the limit, 20 tenths of an inch. The right-hand
# strips then fall off the sheet; what is on it must still be in place. (The
# focus went back to the date box when the progress window closed.)
click "$win" spin
key End BackSpace BackSpace
type_text "25"
key Tab
print_sheet "$win" two_inches
at_two=$(sheet_at two_inches "$(margin_tenths 20)")
moved "2.0 inches" "$at_design" "$at_two" $(($(margin_tenths 20) - design))
echo "PASS"
