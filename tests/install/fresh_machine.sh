#!/usr/bin/env bash
# The package on a machine that has never seen the project: a bare Debian 12
# made with mmdebstrap, the .deb installed with apt-get, the program started
# the way the desktop menu starts it (the Exec line of the installed desktop
# entry) under Xvfb, its login window found and photographed, a report
# printed with the installed brevia-admin and read back with pdftotext.
#
# Needs root, the Debian archive and a few minutes; it is not part of the
# test command. Usage: fresh_machine.sh [DEB] [SHOT.png]
#   DEB   a package made by scripts/package.sh (made here when left out)
#   SHOT  where the screenshot of the started program goes
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/brevia-fresh.XXXXXX)
chroot=$work/root
mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$(id -u)" = 0 ] || fail "run as root (chroot and mounts)"
command -v mmdebstrap >/dev/null || apt-get install -y -q mmdebstrap >/dev/null

deb=${1:-}
if [ -z "$deb" ]; then
  deb=$("$root/scripts/package.sh" "$work" | tail -n 1)
fi
[ -f "$deb" ] || fail "no package: $deb"
shot=${2:-$root/build/fresh-machine.png}

echo "== a bare Debian 12"
mmdebstrap --variant=apt --quiet bookworm "$chroot" \
  "deb http://deb.debian.org/debian bookworm main" \
  "deb http://deb.debian.org/debian bookworm-updates main" \
  "deb http://deb.debian.org/debian-security bookworm-security main" >"$work/mmdebstrap.log" 2>&1 ||
  { tail -n 30 "$work/mmdebstrap.log"; fail "mmdebstrap"; }
for m in proc sys dev dev/pts; do
  mount --bind "/$m" "$chroot/$m"
  mounted+=("$chroot/$m")
done
in_root() { chroot "$chroot" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

echo "== apt-get install ./$(basename "$deb")"
cp "$deb" "$chroot/tmp/"
# A new machine's package lists are fetched first, as its administrator does.
in_root apt-get update -q >"$work/update.log" 2>&1 || { tail -n 20 "$work/update.log"; fail "apt-get update"; }
in_root apt-get install -y -q "/tmp/$(basename "$deb")" >"$work/install.log" 2>&1 ||
  { tail -n 40 "$work/install.log"; fail "apt-get install of the package"; }
grep -E "^(Setting up|Unpacking) brevia" "$work/install.log" | head -n 2

# Only what the check itself needs comes after the package: an X server, a
# window lister, a screenshot and the PDF reader.
in_root apt-get install -y -q --no-install-recommends xvfb xauth x11-utils x11-apps poppler-utils sqlite3 \
  >"$work/tools.log" 2>&1 || { tail -n 20 "$work/tools.log"; fail "the check's own tools"; }

echo "== started from the desktop entry"
exec_line=$(sed -n 's/^Exec=//p' "$chroot/usr/share/applications/org.brevia.Brevia.desktop")
[ -n "$exec_line" ] || fail "the desktop entry has no Exec line"
# The desktop's own launch: the Exec line, run by a clerk of the agency
# without BREVIA_HOME, so the data folder is made in his home.
printf '%s\n' "$exec_line" >"$chroot/tmp/exec-line"
cat >"$chroot/tmp/session.sh" <<'EOF'
#!/bin/sh
sh -c "$(cat /tmp/exec-line)" >/tmp/brevia.log 2>&1 &
pid=$!
for i in $(seq 60); do
  xwininfo -root -tree 2>/dev/null | grep -qF '("brevia" "Brevia")' && break
  sleep 0.5
done
sleep 1
xwininfo -root -tree | grep -F '("brevia" "Brevia")' | grep -v ' 1x1+' >/tmp/windows.txt || true
xwd -root -silent >/tmp/shot.xwd
kill -0 $pid && echo running >/tmp/state.txt
kill $pid
EOF
cat >"$chroot/tmp/start.sh" <<'EOF'
#!/bin/sh
useradd -m clerk 2>/dev/null || true
su clerk -c 'export XDG_RUNTIME_DIR=$(mktemp -d); xvfb-run -a -s "-screen 0 1280x1024x24" sh /tmp/session.sh'
EOF
chmod +x "$chroot/tmp/start.sh" "$chroot/tmp/session.sh"
in_root /tmp/start.sh || true
[ "$(cat "$chroot/tmp/state.txt" 2>/dev/null)" = running ] ||
  { cat "$chroot/tmp/brevia.log" 2>/dev/null; fail "brevia did not keep running"; }
[ -s "$chroot/tmp/windows.txt" ] || { cat "$chroot/tmp/brevia.log"; fail "no window of the program on the screen"; }
cat "$chroot/tmp/windows.txt"
appdir=$chroot/home/clerk/.local/share/Brevia
[ -f "$appdir/Data/HKP30.hdb" ] || fail "no database in the clerk's data folder"
if command -v convert >/dev/null; then
  convert "xwd:$chroot/tmp/shot.xwd" "$shot" && echo "screenshot: $shot"
fi

echo "== a report through the installed brevia-admin"
in_root su clerk -c "export XDG_RUNTIME_DIR=\$(mktemp -d); sqlite3 ~/.local/share/Brevia/Data/HKP30.hdb \
  \"INSERT INTO tblCustomers (CustId, CustName, Address) VALUES ('KH001', '人户页家政', '户部街1号');\" &&
  cd /tmp && brevia-admin report frCustomers --pdf /tmp/customers.pdf >/dev/null &&
  pdftotext -raw -enc UTF-8 /tmp/customers.pdf -" >"$work/report.txt" || fail "brevia-admin report"
for want in 客户资料列表 人户页家政 户部街1号; do
  grep -qF "$want" "$work/report.txt" || { cat "$work/report.txt"; fail "the report lacks: $want"; }
done
echo "fresh Debian 12: the package installs, starts from its desktop entry and prints"
