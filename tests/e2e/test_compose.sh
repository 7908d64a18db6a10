#!/usr/bin/env bash
# Profiles without the window and without a display: compose one profile to a
# PDF (male and female) and checked as the printed sheets are, a list of every
# sign in both genders to one PDF, to one report file and down a pipe, a list
# with bad rows that writes nothing, and usage errors with status 2.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need pdfinfo pdftotext python3
unset DISPLAY
APP=$E2E_BIN_DIR/src/app/stellaro
QRPDUMP=$E2E_BIN_DIR/tools/qrpdump
cd "$E2E_WORK"

pages_of() { pdfinfo "$1" | awk '/^Pages:/ { print $2 }'; }
has_text() { grep -qF -- "$2" "$1.txt" || fail "$1: no '$2' in the PDF's text"; }

# One profile each way; the lucky numbers drawn.
"$APP" compose --date 0504 --name "Ann Lee" --sentiment "Happy days" --draw-lucky --pdf male.pdf ||
  fail "compose to PDF failed"
"$APP" compose --date 0504 --female --name "Zoë Brontë" --pdf female.pdf || fail "compose --female failed"
# A pasted paragraph as the name runs off the page; the page is still drawn.
"$APP" compose --date 0504 --name "$(printf 'Lorem ipsum dolor sit amet %.0s' {1..200})" --pdf paragraph.pdf ||
  fail "a long name made the page impossible to draw"
for sheet in male female; do
  [ "$(pages_of $sheet.pdf)" = 1 ] || fail "$sheet.pdf is not one page"
  pdfinfo $sheet.pdf | grep -q "Page size: *842 x 595 pts (A4)" || fail "$sheet.pdf is not landscape A4"
  pdffonts $sheet.pdf | awk 'NR > 2 && $(NF-4) != "yes" { bad = 1 } END { exit bad }' ||
    fail "$sheet.pdf has a font that is not embedded"
  pdftotext -layout $sheet.pdf $sheet.txt
  has_text $sheet "Aries"
  has_text $sheet "April 5th"
done
has_text male "Ann Lee"
has_text male "Happy days"
for t in "Bold, Dynamic and a Natural Leader" "Reckless and apt to act before he thinks" \
         "A loyal friend who will fight your battles for you" "An ardent lover who enjoys the chase" \
         "Burns himself out; mind the head and avoid accidents" "Fortune favours the brave, and he is brave!" \
         Diamond Red; do
  has_text male "$t"
done
has_text female "Zoë Brontë"
has_text female "Her vitality and energy is attractive to many."
grep -Eq '([0-9]+ +){5}[0-9]+' male.txt || fail "no drawn lucky numbers on the male sheet"
check_sheet male.pdf male "$(margin_mm 5)" >/dev/null || fail "the male sheet does not match its design"
check_sheet female.pdf female "$(margin_mm 5)" --empty QRLabel23 >/dev/null || fail "the female sheet does not match its design"

# Every sign, both genders, in the order of the rows: one PDF, one report file.
{
  echo "date,gender,name,sentiment,lucky"
  for m in 01 02 03 04 05 06 07 08 09 10 11 12; do
    echo "15$m,M,\"Mister $m\",\"Said \"\"hi\"\", twice\",draw"
    echo "15$m,female,Miss $m,Fine,1 2 3 4 5 6"
  done
} >signs.csv
"$APP" batch signs.csv --pdf signs.pdf 2>batch.log || fail "batch to PDF failed: $(cat batch.log)"
[ "$(pages_of signs.pdf)" = 24 ] || fail "signs.pdf has $(pages_of signs.pdf) pages, not 24"
for p in 1 2 24; do pdftotext -f $p -l $p signs.pdf page$p.txt; done
grep -q "Mister 01" page1.txt && grep -q "Capricorn" page1.txt || fail "page 1 is not the first row"
grep -q "Miss 01" page2.txt || fail "page 2 is not the second row"
grep -q "Miss 12" page24.txt && grep -q "Sagittarius" page24.txt || fail "page 24 is not the last row"
grep -q 'Said "hi", twice' page1.txt || fail "a quoted field lost its quotes or comma"
grep -q "composed 24 of 24 pages" batch.log || fail "no progress lines on a non-terminal: $(cat batch.log)"
"$APP" batch signs.csv --report signs.QRP || fail "batch to a report file failed"
"$QRPDUMP" signs.QRP | grep -q "^page count: 24$" || fail "the report file does not hold 24 pages"
# "-": the list from standard input, the PDF down a pipe (written into, not
# replaced).
"$APP" batch - --pdf - <signs.csv 2>/dev/null | cat >piped.pdf || fail "batch through pipes failed"
[ "$(pages_of piped.pdf)" = 24 ] || fail "the PDF piped to standard output does not hold 24 pages"

# A bad row: named by line and column, and nothing written.
printf 'date,gender,name,sentiment\n0101,M,Ann,Hi\n3204,F,Bea,Hi\n0101,X,Cy,Hi\n' >bad.csv
set +e
"$APP" batch bad.csv --pdf bad.pdf 2>bad.log
status=$?
set -e
[ "$status" = 1 ] || fail "a bad list ended with status $status, not 1"
grep -q "bad.csv: line 3, column date: Bad Day" bad.log || fail "the bad date is not named: $(cat bad.log)"
grep -q "bad.csv: line 4, column gender: 'X' is not M, F, male or female" bad.log || fail "the bad gender is not named"
[ ! -e bad.pdf ] || fail "a list with bad rows wrote a PDF"
[ -z "$(ls -A | grep -v -e '\.pdf$' -e '\.txt$' -e '\.csv$' -e '\.log$' -e '\.QRP$' -e '^xvfb' -e '^openbox')" ] ||
  fail "files left behind: $(ls -A)"

# Ctrl+C in the middle of a long list: stopped, status 130, and no file at all.
{ echo "date,gender,name,sentiment"; for i in $(seq 1 2000); do echo "0101,M,Person $i,Hi"; done; } >long.csv
"$APP" batch long.csv --pdf long.pdf 2>long.log &
batch=$!
for i in $(seq 1 300); do grep -q "composed" long.log && break; sleep 0.1; done
kill -INT "$batch"
set +e
wait "$batch"
status=$?
set -e
[ "$status" = 130 ] || fail "an interrupted batch ended with status $status: $(cat long.log)"
grep -q "interrupted; nothing was written" long.log || fail "no word of the interruption"
[ -z "$(ls -A | grep long.pdf)" ] || fail "an interrupted batch left $(ls -A | grep long.pdf)"

# Usage errors: status 2, a hint on standard error.
set +e
"$APP" compose --date 0504 2>usage.log
status=$?
set -e
[ "$status" = 2 ] && grep -q "Try 'stellaro --help'" usage.log || fail "a missing output is not a usage error"
"$APP" --version | grep -q "^stellaro 1.04$" || fail "--version"
echo "PASS"
