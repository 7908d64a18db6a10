#!/usr/bin/env bash
# The preview window as a user drives it: a typed profile previewed in the
# maximised window, saved to a report file through the save dialog (which adds
# ".QRP"), a damaged file refused with the error box while the window stays,
# the saved file loaded back, and Esc closing the window.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need xwininfo

QRPDUMP=$E2E_BIN_DIR/tools/qrpdump
[ -x "$QRPDUMP" ] || skip "qrpdump is not built"

start_display
start_app
win=$(wait_window "Stellaro Ver 1.04")
wait_active "Stellaro Ver 1.04"

click "$win" date
type_ann_lee_profile "$E2E_WORK"

click "$win" preview
pv=$(wait_window "PageReport version 1.0d" 30)
wait_active "PageReport version 1.0d"
screenshot preview

# Maximised: as wide as the screen.
screen_w=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1] }')
pv_w=$(xwininfo -id "$pv" | awk '/Width:/ { print $2 }')
[ "$pv_w" -ge $((screen_w - 20)) ] || fail "the preview window is $pv_w wide on a $screen_w screen: not maximised"

# Toolbar buttons, in the window's client coordinates (top 2, height 28).
toolbar_click() { xdotool mousemove --window "$pv" "$1" 16 click 1; }
SAVE_X=385
LOAD_X=421

# Save, typing a name without extension.
toolbar_click $SAVE_X
answer_dialog "Save As" "$E2E_WORK/profile"
wait_gone "Save As" 15
for i in $(seq 1 50); do [ -s "$E2E_WORK/profile.QRP" ] && break; sleep 0.2; done
[ -s "$E2E_WORK/profile.QRP" ] || fail "no profile.QRP after saving"
ls "$E2E_WORK" | grep -q '^profile$' && fail "the save dialog did not add .QRP"

"$QRPDUMP" "$E2E_WORK/profile.QRP" >"$E2E_WORK/dump.txt" 2>"$E2E_WORK/dump.err" ||
  fail "qrpdump refused the saved file: $(cat "$E2E_WORK/dump.err")"
grep -qx "page count: 1" "$E2E_WORK/dump.txt" || fail "saved page count: $(grep 'page count' "$E2E_WORK/dump.txt")"
grep -qx "orientation: landscape" "$E2E_WORK/dump.txt" || fail "the saved page is not landscape"
bytes=$(stat -c %s "$E2E_WORK/profile.QRP")
emf=$(awk '/^page 1:/ { print $3 }' "$E2E_WORK/dump.txt")
[ "$bytes" -eq $((372 + emf + 4)) ] || fail "file of $bytes bytes for a metafile of $emf bytes"

# A damaged file: the error box, then the window is still there.
head -c 1000 "$E2E_WORK/profile.QRP" >"$E2E_WORK/cut.QRP"
toolbar_click $LOAD_X
answer_dialog Open "$E2E_WORK/cut.QRP"
wait_window "FStellaro" 15 >/dev/null
screenshot damaged
key Return
wait_gone "FStellaro" 15
xdotool search --onlyvisible --name "^PageReport version 1.0d\$" >/dev/null || fail "the preview closed after a damaged file"

# The saved file loads back.
toolbar_click $LOAD_X
answer_dialog Open "$E2E_WORK/profile.QRP"
wait_gone "Open" 15
wait_active "PageReport version 1.0d"
xdotool search --onlyvisible --name "^FStellaro\$" >/dev/null && fail "loading the saved file showed an error"
screenshot loaded

# Esc closes the preview; the main window is there again.
xdotool windowactivate --sync "$pv" 2>/dev/null || true
key Escape
wait_gone "PageReport version 1.0d" 15
wait_window "Stellaro Ver 1.04" 5 >/dev/null

# The same profile composed on the command line is the same page, record for record.
"$E2E_BIN_DIR/src/app/stellaro" compose --date 0504 --name "Ann Lee" --sentiment "Happy days" \
  --report "$E2E_WORK/cli.QRP" || fail "compose --report failed"
python3 - "$E2E_WORK/profile.QRP" "$E2E_WORK/cli.QRP" <<'PY' || fail "the command line's page differs from the window's"
import struct, sys
def records(path):
    data = open(path, "rb").read()
    size = struct.unpack_from("<I", data, 372 + 48)[0]
    page, at, out = data[372:372 + size], 0, []
    while at < len(page):
        n = struct.unpack_from("<I", page, at + 4)[0]
        out.append(page[at:at + n])
        at += n
    return out
a, b = records(sys.argv[1]), records(sys.argv[2])
for i, (x, y) in enumerate(zip(a, b)):
    if x != y:
        sys.exit(f"record {i} differs: type {struct.unpack_from('<I', x)[0]} against {struct.unpack_from('<I', y)[0]}")
if len(a) != len(b):
    sys.exit(f"{len(a)} records against {len(b)}")
PY

# A report file named on the command line opens in the preview, over the main
# window; a damaged one shows the error box and leaves the main window.
kill "$APP_PID"; wait "$APP_PID" 2>/dev/null || true
start_app "$E2E_WORK/cli.QRP"
wait_window "PageReport version 1.0d" 30 >/dev/null
wait_window "Stellaro Ver 1.04" 5 >/dev/null  # the main window behind the preview
xdotool search --onlyvisible --name "^FStellaro\$" >/dev/null && fail "opening a good report file showed an error"
kill "$APP_PID"; wait "$APP_PID" 2>/dev/null || true
start_app "$E2E_WORK/cut.QRP"
wait_window "FStellaro" 30 >/dev/null
grep -q "Stream read error" "$E2E_WORK/app.log" || fail "the damaged file's error: $(cat "$E2E_WORK/app.log")"
key Return
wait_gone "FStellaro" 15
wait_window "Stellaro Ver 1.04" 5 >/dev/null
echo "PASS"
