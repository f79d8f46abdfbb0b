#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when some are missing.
# Usage: scripts/deps.sh [run|test]
set -euo pipefail
mode=${1:-run}

run_pkgs=(build-essential cmake pkg-config ninja-build
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql libqt6svg6
  qt6-charts-dev qt6-translations-l10n qt6-qpa-plugins
  libsodium-dev libcurl4-openssl-dev mdbtools-dev libglib2.0-dev libsqlite3-dev libpq-dev libicu-dev
  libqt6opengl6-dev libgl-dev libegl-dev libvulkan-dev fonts-noto-cjk xdg-utils libx11-dev
  python3-fonttools file libfreexl-dev libminizip-dev unicode-data)
test_pkgs=(googletest libgtest-dev xvfb xauth dbus dbus-x11 at-spi2-core
  python3 python3-pyatspi python3-xlib python3-aiosmtpd python3-gi postgresql postgresql-client
  poppler-utils sqlite3 openssl appstream desktop-file-utils lintian libxlsxwriter-dev python3-xlwt)

pkgs=("${run_pkgs[@]}")
[ "$mode" = test ] && pkgs+=("${test_pkgs[@]}")

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "需要 root 权限安装: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
