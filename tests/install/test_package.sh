#!/usr/bin/env bash
# The Debian package of a build: what it holds, what it depends on, and
# lintian's verdict.
# Usage: test_package.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1 build=$2
work=$(mktemp -d /tmp/brevia-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

deb=$(BREVIA_BUILD_DIR=$build "$src/scripts/package.sh" "$work" | tail -n 1)
[ -f "$deb" ] || fail "no package made"
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/brevia ./usr/bin/brevia-admin ./usr/libexec/brevia/brevia-legacy-reader \
  ./usr/share/brevia/Data/Report/frCustomers.frf ./usr/share/brevia/Data/Fonts/BreviaSansSC-Regular.otf \
  ./usr/share/applications/org.brevia.Brevia.desktop ./usr/share/metainfo/org.brevia.Brevia.metainfo.xml \
  ./usr/share/man/man1/brevia-admin.1.gz ./usr/share/doc/brevia/copyright ./usr/share/doc/brevia/changelog.gz; do
  grep -qF " $f" <<<"$contents" || fail "not in the package: $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6core6 libqt6widgets6 libqt6sql6 libsodium23 libmdb3 libqt6sql6-sqlite libqt6sql6-psql \
  qt6-qpa-plugins fonts-noto-cjk; do
  grep -qE "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log"; fail "lintian"; }
grep '^E:' "$work/lintian.log" && fail "lintian errors"
echo "package $(basename "$deb"): fine"
