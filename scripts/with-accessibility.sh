#!/usr/bin/env bash
# with-accessibility.sh <command...>
# Runs a Qt program as a screen reader's user has it: on an X server of its
# own (Xvfb), on a private session bus, with Qt's accessibility bridge on.
set -uo pipefail

runtime="$(mktemp -d)"
chmod 700 "$runtime"
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
read -r -t 20 -u "$display_fd" display || { echo "Xvfb did not start" >&2; exit 1; }
cleanup() {
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -rf "$runtime"
}
trap cleanup EXIT

DISPLAY=":$display" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb \
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 \
  dbus-run-session -- "$@"
