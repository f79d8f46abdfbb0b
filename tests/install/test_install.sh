#!/usr/bin/env bash
# The build installed into a temporary prefix and used as an agency would:
# the files where a Linux desktop looks for them, a first start that makes
# the clerk's own data folder, reports printed from the shipped templates and
# from an agency's own, PDF text that reads back as printed, the old-data
# import through the installed helper.
# Usage: test_install.sh BUILD_DIR [OLD_HDB]
set -euo pipefail
build=$1 old=${2:-}
work=$(mktemp -d /tmp/brevia-install.XXXXXX)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/brevia bin/brevia-admin libexec/brevia/brevia-legacy-reader \
  share/brevia/Data/Report/frCustomers.frf share/brevia/Data/Fonts/BreviaSansSC-Regular.otf \
  share/brevia/Data/Fonts/BreviaSansSC-Bold.otf share/brevia/Help/BreviaHelp.html \
  share/brevia/translations/qtbase_zh_CN.qm share/applications/org.brevia.Brevia.desktop \
  share/metainfo/org.brevia.Brevia.metainfo.xml share/icons/hicolor/scalable/apps/org.brevia.Brevia.svg \
  share/icons/hicolor/48x48/apps/org.brevia.Brevia.png share/man/man1/brevia-admin.1 share/man/man1/brevia.1; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
desktop-file-validate "$prefix/share/applications/org.brevia.Brevia.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/org.brevia.Brevia.metainfo.xml" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log"; fail "AppStream metainfo"; }
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/brevia-admin.1" 2>&1 >/dev/null || true)
[ -z "$warnings" ] || fail "man page: $warnings"

# A clerk starts the installed program from the menu: no BREVIA_HOME, and the
# program's folder is an installed layout (writable or not, as root it is).
export HOME=$work/home
unset BREVIA_HOME XDG_DATA_HOME
mkdir -p "$HOME"
appdir=$HOME/.local/share/Brevia
QT_QPA_PLATFORM=offscreen "$prefix/bin/brevia" >"$work/brevia.log" 2>&1 &
pid=$!
for _ in $(seq 100); do
  [ -f "$appdir/Server.txt" ] && [ -f "$appdir/Data/HKP30.hdb" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$pid" 2>/dev/null || { cat "$work/brevia.log"; fail "brevia ended at its first start"; }
kill "$pid"; wait "$pid" 2>/dev/null || true; pid=
[ -f "$appdir/Data/HKP30.hdb" ] || fail "the first start made no database in $appdir"
[ "$(head -n 1 "$appdir/Server.txt")" = "$appdir/Data/HKP30.hdb" ] || fail "Server.txt: $(cat "$appdir/Server.txt")"
[ -z "$(ls -A "$prefix/bin" | grep -v '^brevia')" ] || fail "data written beside the program: $(ls "$prefix/bin")"

sqlite3 "$appdir/Data/HKP30.hdb" "INSERT INTO tblCustomers (CustId, CustName, Address) VALUES
  ('KH001', '人户页家政', '朝阳区安立路8号'), ('KH002', '王府花园物业', '户部街1号');"

# Prints the report NAME of the database that Server.txt names; its text as pdftotext reads it.
report() {
  (cd "$work" && "$prefix/bin/brevia-admin" report "$1" --pdf "$work/$1.pdf" >/dev/null) || fail "report $1"
  pdftotext -raw -enc UTF-8 "$work/$1.pdf" -
}
text=$(report frCustomers)
for want in 客户资料列表 客户代码 KH001 人户页家政 王府花园物业 户部街1号 "共 2 位客户"; do
  grep -qF "$want" <<<"$text" || fail "customer list without \"$want\": $text"
done

# An agency's own template in its data folder wins over the shipped one.
mkdir -p "$appdir/Data/Report"
sed 's/>客户资料列表</>本公司客户名单</' "$prefix/share/brevia/Data/Report/frCustomers.frf" >"$appdir/Data/Report/frCustomers.frf"
text=$(report frCustomers)
grep -qF 本公司客户名单 <<<"$text" || fail "the agency's own template was not used: $text"

# BREVIA_HOME names a shared data folder; templates still come from the package.
export BREVIA_HOME=$work/agency
"$prefix/bin/brevia-admin" init >/dev/null || fail "init in BREVIA_HOME"
[ -f "$BREVIA_HOME/Data/HKP30.hdb" ] || fail "init did not use BREVIA_HOME"
text=$(report frOperaters)
grep -qF 页 <<<"$text" || fail "staff list from BREVIA_HOME: $text"

# The import runs the helper from libexec.
if [ -n "$old" ] && [ -f "$old" ]; then
  rc=0
  "$prefix/bin/brevia-admin" import "$old" "$work/imported.hdb" >"$work/import.log" 2>&1 || rc=$?
  [ "$rc" = 0 ] || [ "$rc" = 3 ] || { tail -n 5 "$work/import.log"; fail "import through the installed helper ($rc)"; }
fi
echo "install layout, first start, reports and import: fine"
