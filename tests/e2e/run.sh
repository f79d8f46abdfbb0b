#!/usr/bin/env bash
# Runs one end-to-end script on a private X server and D-Bus session, with
# the accessibility bus that the script drives the program through.
#   run.sh SCRIPT.py BUILD_DIR
set -euo pipefail
script=$1 build=$2
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export PYTHONDONTWRITEBYTECODE=1 # nothing written into the source tree
# The system's python sees Debian's pyatspi; a python3 earlier on PATH may not.
exec timeout 180 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  dbus-run-session -- /usr/bin/python3 "$script" "$build"
