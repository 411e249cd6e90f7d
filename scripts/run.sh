#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo database when it is
# missing, and starts the program on it. Extra arguments replace the database.
set -euo pipefail
source "$(dirname "$0")/common.sh"
qv_install
qv_build
demo="$QV_ROOT/demo/demo.fdb"
if [ ! -f "$demo" ]; then
  "$QV_ROOT/scripts/make-demo.sh" "$demo"
fi
if [ $# -gt 0 ]; then
  exec "$QV_BUILD/bin/quorvel" "$@"
fi
exec "$QV_BUILD/bin/quorvel" "$demo"
