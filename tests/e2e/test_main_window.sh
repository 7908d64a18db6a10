#!/usr/bin/env bash
# The real program under Xvfb: its window and listing, a profile typed as a
# user types it, the detail.fdg bytes it leaves, and Exit ending the program.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need xprop cmp

start_display
start_app
win=$(wait_window "Stellaro Ver 1.04")

# Exactly the designed caption (Qt must not have appended anything), listed
# under the application title, maximized by the window manager.
[ "$(xdotool getwindowname "$win")" = "Stellaro Ver 1.04" ] || fail "caption is '$(xdotool getwindowname "$win")'"
xprop -id "$win" WM_CLASS | grep -q '"FStellaro", "FStellaro"' || fail "WM_CLASS: $(xprop -id "$win" WM_CLASS)"
for i in $(seq 1 30); do
  xprop -id "$win" _NET_WM_STATE | grep -q MAXIMIZED_VERT && break
  sleep 0.1
done
xprop -id "$win" _NET_WM_STATE | grep -q MAXIMIZED_VERT || fail "not maximized: $(xprop -id "$win" _NET_WM_STATE)"
visible=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | wc -l)
[ "$visible" -eq 1 ] || fail "expected the main window alone, found $visible visible windows"
wait_active "Stellaro Ver 1.04"

# The date box has the focus at start, its text selected; the profile is
# typed from there and Tab goes on to PrintSetup.
type_ann_lee_profile "$E2E_WORK"

line() { sed -n "${1}p" "$E2E_WORK/detail.fdg" | tr -d '\r'; }
[ "$(wc -l < "$E2E_WORK/detail.fdg")" -eq 13 ] || fail "detail.fdg has $(wc -l < "$E2E_WORK/detail.fdg") lines"
[ "$(tr -cd '\r' < "$E2E_WORK/detail.fdg" | wc -c)" -eq 13 ] || fail "not every line ends in CR LF"
[ "$(line 1)" = "Aries" ] || fail "sign line: '$(line 1)'"
[ "$(line 8)" = "Diamond" ] || fail "birthstone line: '$(line 8)'"
[ "$(line 10)" = "April 5th" ] || fail "birthday line: '$(line 10)'"
[ "$(line 11)" = "Ann Lee" ] || fail "name line: '$(line 11)'"
[ "$(line 12)" = "Happy days" ] || fail "sentiment line: '$(line 12)'"
[ -z "$(line 13)" ] || fail "lucky-number line: '$(line 13)'"
male_friendships=$(line 4)

# Round the Tab cycle to the gender group, choose Female with the arrow key and
# leave the group: the same profile with the female texts.
key Tab Tab Tab
key Down
key Tab
for i in $(seq 1 50); do [ "$(line 4)" != "$male_friendships" ] && break; sleep 0.1; done
{
  printf 'Aries\r\n'
  sed -n '2,3p' "$E2E_WORK/detail.fdg"
  printf 'Her vitality and energy is attractive to many.\r\n'
  sed -n '5,7p' "$E2E_WORK/detail.fdg"
  printf 'Diamond\r\nRed\r\nApril 5th\r\nAnn Lee\r\nHappy days\r\n\r\n'
} > "$E2E_WORK/expected.fdg"
cmp "$E2E_WORK/expected.fdg" "$E2E_WORK/detail.fdg" || fail "female detail.fdg differs: $(od -c "$E2E_WORK/detail.fdg" | head -20)"
screenshot main_window

# The caption is still exactly the designed one; Exit ends the program.
[ "$(xdotool getwindowname "$win")" = "Stellaro Ver 1.04" ] || fail "caption changed"
click "$win" exit
for i in $(seq 1 100); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$APP_PID" 2>/dev/null && fail "the program is still running after Exit"
rc=0; wait "$APP_PID" || rc=$?
[ "$rc" -eq 0 ] || fail "exit code $rc"

# Closing the window through the window manager (Alt+F4 in openbox) ends the
# program the same way, with no question asked.
start_app
win=$(wait_window "Stellaro Ver 1.04")
wait_active "Stellaro Ver 1.04"
xdotool windowactivate --sync "$win" 2>/dev/null || true
key alt+F4
for i in $(seq 1 100); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$APP_PID" 2>/dev/null && fail "the program is still running after its window was closed"
rc=0; wait "$APP_PID" || rc=$?
[ "$rc" -eq 0 ] || fail "exit code $rc after closing the window"
echo "PASS"
