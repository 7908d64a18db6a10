#!/usr/bin/env bash
# The Debian package as a user gets it: built once with "tools/dev.sh package",
# installed with apt-get so that its dependencies resolve, then checked the way
# the desktop uses it (the command on the path, manual pages, the menu entry
# started under Xvfb, the report-file type and its default program), checked by
# Debian's own tools (desktop-file-validate, appstreamcli, lintian), and purged
# again, leaving nothing of it behind. The machine is left as it was found even
# when a check fails: the exit trap purges whatever this test installed.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root (CI runs this as root)"
need apt-get dpkg dpkg-deb cpack desktop-file-validate appstreamcli lintian xdg-mime mimetype gio man xprop identify
if dpkg-query -W -f='${Status}' stellaro 2>/dev/null | grep -q 'install ok installed'; then
  skip "a stellaro package is already installed here; this test would replace and then purge it"
fi

INSTALLED=""
purge_package() {
  if [ -n "$INSTALLED" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq stellaro >"$E2E_WORK/purge.log" 2>&1 ||
      dpkg --purge stellaro >>"$E2E_WORK/purge.log" 2>&1 || true
    INSTALLED=""
  fi
}
trap 'purge_package; e2e_cleanup' EXIT

# --- Build the package once ----------------------------------------------------
started=$SECONDS
bash "$E2E_SRC_DIR/tools/dev.sh" package >"$E2E_WORK/package.log" 2>&1 ||
  fail "tools/dev.sh package failed: $(tail -n 20 "$E2E_WORK/package.log")"
deb=$(tail -n 1 "$E2E_WORK/package.log")
[ -f "$deb" ] || fail "the last line of tools/dev.sh package is no package: '$deb'"
echo "package built in $((SECONDS - started))s: $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = stellaro ] || fail "Package: $(field Package)"
[ "$(field Version)" = 1.04 ] || fail "Version: $(field Version)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Section)" ] || fail "no Section"
# Libraries found by dpkg-shlibdeps, and the fonts named by hand.
depends=$(field Depends)
for d in fonts-liberation2 libqt6widgets6 libqt6printsupport6 libc6; do
  grep -qw -- "$d" <<<"$depends" || fail "Depends lacks $d: $depends"
done
[ "$(field Description | wc -l)" -gt 3 ] || fail "no long description: $(field Description)"

# Debian's package checker: no errors. Warnings are shown for the record.
lintian --fail-on error "$deb" >"$E2E_WORK/lintian.log" 2>&1 ||
  fail "lintian: $(cat "$E2E_WORK/lintian.log")"
grep -q '^E:' "$E2E_WORK/lintian.log" && fail "lintian: $(cat "$E2E_WORK/lintian.log")"
grep -v "root privileges" "$E2E_WORK/lintian.log" | sed 's/^/lintian: /' || true

# --- Install -------------------------------------------------------------------
INSTALLED=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >"$E2E_WORK/install.log" 2>&1 ||
  fail "apt-get install: $(tail -n 20 "$E2E_WORK/install.log")"
dpkg-query -L stellaro >"$E2E_WORK/files"

# The commands from the system's path, with --help, --version and a manual page each.
[ "$(command -v stellaro)" = /usr/bin/stellaro ] || fail "stellaro on the path is '$(command -v stellaro)'"
[ "$(stellaro --version | head -n 1)" = "stellaro 1.04" ] || fail "stellaro --version: $(stellaro --version)"
for tool in emfplay qrpdump; do
  [ "$(stellaro-$tool --version)" = "stellaro-$tool 1.04" ] || fail "stellaro-$tool --version: $(stellaro-$tool --version)"
  stellaro-$tool --help | grep -q "^Usage: stellaro-$tool " || fail "stellaro-$tool --help: $(stellaro-$tool --help)"
done
stellaro --help | grep -q '^Usage: stellaro ' || fail "stellaro --help: $(stellaro --help)"
for page in stellaro stellaro-emfplay stellaro-qrpdump; do
  [ "$(man -w "$page")" = "/usr/share/man/man1/$page.1.gz" ] || fail "man -w $page: '$(man -w "$page" 2>&1)'"
  man "$page" 2>&1 | grep -q "^NAME" || fail "man $page does not render"
done

# The menu entry and the software-centre metadata as installed.
desktop=/usr/share/applications/FStellaro.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net /usr/share/metainfo/org.stellaro.Stellaro.metainfo.xml 2>&1) ||
  fail "appstreamcli validate: $out"
for size in 16 22 24 32 48 64 128 256; do
  [ "$(identify -format '%wx%h' "/usr/share/icons/hicolor/${size}x${size}/apps/stellaro.png" 2>/dev/null)" = "${size}x${size}" ] ||
    fail "no ${size}x${size} icon"
done
[ -s /usr/share/icons/hicolor/scalable/apps/stellaro.svg ] || fail "no scalable icon"

# A user of our own: whatever settings the machine's user has (a default
# program for the type, a data folder) must not decide the outcome.
export HOME=$E2E_WORK/home XDG_DATA_HOME=$E2E_WORK/home/.local/share XDG_CONFIG_HOME=$E2E_WORK/home/.config
unset XDG_DATA_DIRS XDG_CONFIG_DIRS XDG_CURRENT_DESKTOP
mkdir -p "$HOME"
start_display

# A report file saved by the installed program names the type and Stellaro as
# its program, whatever the case of its extension; the signature alone names
# it too, on a desktop that reads file contents (GLib's).
reports=$E2E_WORK/reports
mkdir -p "$reports"
(cd "$reports" && stellaro compose --date 0504 --name "Ann Lee" --report saved.QRP) >"$E2E_WORK/compose.log" 2>&1 ||
  fail "stellaro compose: $(cat "$E2E_WORK/compose.log")"
cp "$reports/saved.QRP" "$reports/lower.qrp"
cp "$reports/saved.QRP" "$reports/no-extension"
type=application/x-stellaro-report
for f in saved.QRP lower.qrp; do
  got=$(xdg-mime query filetype "$reports/$f") && [ "$got" = "$type" ] || fail "xdg-mime query filetype $f: '$got'"
  got=$(XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$reports/$f") && [ "$got" = "$type" ] ||
    fail "xdg-mime query filetype $f on GNOME: '$got'"
done
got=$(gio info -a standard::content-type "$reports/no-extension" | awk '/standard::content-type/ { print $2 }')
[ "$got" = "$type" ] || fail "a report file without its extension is '$got'"
got=$(xdg-mime query filetype "$E2E_WORK/package.log")
[ "$got" != "$type" ] || fail "a text file is taken for a report file"
got=$(xdg-mime query default "$type") && [ "$got" = FStellaro.desktop ] || fail "xdg-mime query default: '$got'"
got=$(XDG_CURRENT_DESKTOP=GNOME xdg-mime query default "$type") && [ "$got" = FStellaro.desktop ] ||
  fail "xdg-mime query default on GNOME: '$got'"

# Started from its menu entry, the program comes up with its window, listed
# under the entry's window class, and works in the user's data folder (made on
# first start): a profile typed and left lands there, nowhere else.
launch_dir=$E2E_WORK/launched-from
mkdir -p "$launch_dir"
data=$XDG_DATA_HOME/stellaro
[ ! -e "$data" ] || fail "the data folder exists before the first start"
(cd "$launch_dir" && gio launch "$desktop") >"$E2E_WORK/launch.log" 2>&1 || fail "gio launch: $(cat "$E2E_WORK/launch.log")"
win=$(wait_window "Stellaro Ver 1.04" 30)
E2E_PIDS+=("$(xdotool getwindowpid "$win")")
class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
xprop -id "$win" WM_CLASS | grep -q "\"$class\"\$" || fail "WM_CLASS $(xprop -id "$win" WM_CLASS) is not the entry's $class"
[ -d "$data" ] || fail "no data folder $data after the first start"
wait_active "Stellaro Ver 1.04"
type_ann_lee_profile "$data"
sed -n 11p "$data/detail.fdg" | tr -d '\r' | grep -qx "Ann Lee" || fail "detail.fdg: $(cat -v "$data/detail.fdg")"
[ -z "$(ls -A "$launch_dir")" ] || fail "files landed where gio launch ran: $(ls -A "$launch_dir")"
[ ! -e "$HOME/detail.fdg" ] || fail "detail.fdg landed in the home folder"
xdotool windowactivate --sync "$win" 2>/dev/null || true
key alt+F4
wait_gone "Stellaro Ver 1.04" 15

# Opening a report file from the desktop shows it in the preview.
gio launch "$desktop" "$reports/saved.QRP" >>"$E2E_WORK/launch.log" 2>&1 || fail "gio launch with a file: $(cat "$E2E_WORK/launch.log")"
pv=$(wait_window "PageReport version 1.0d" 30)
pid=$(xdotool getwindowpid "$pv")
kill "$pid"
for i in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done

# --- Purge ---------------------------------------------------------------------
purge_package
dpkg-query -W -f='${Status}' stellaro 2>/dev/null | grep -q 'installed' && fail "stellaro is still installed"
left=""
while read -r f; do
  [ -d "$f" ] && continue # shared folders such as /usr/bin stay
  [ -e "$f" ] && left+="$f "
done <"$E2E_WORK/files"
[ -z "$left" ] || fail "left after purge: $left"
[ ! -e /usr/share/doc/stellaro ] || fail "/usr/share/doc/stellaro is left after purge"
# What the desktop's caches learnt of the package is forgotten again.
[ ! -e /usr/share/mime/application/x-stellaro-report.xml ] || fail "the report-file type is still in the MIME database"
! grep -qs FStellaro /usr/share/applications/mimeinfo.cache || fail "mimeinfo.cache still names FStellaro"
! grep -qs stellaro /usr/share/icons/hicolor/icon-theme.cache || fail "the icon cache still holds the coin icon"
echo "package test passed in $((SECONDS - started))s"
