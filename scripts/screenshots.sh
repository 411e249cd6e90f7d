#!/usr/bin/env bash
# Regenerates the README's pictures in docs/screenshots/: the built program on
# the demo schema in a private X server, one picture of the frame per window,
# taken by the end-to-end driver. Build first (scripts/run.sh or cmake).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QV_BUILD:-$root/build}"
program="$build/bin/quorvel"
if [ ! -x "$program" ]; then
  echo "No program at $program: build it first." >&2
  exit 1
fi
exec /usr/bin/python3 -B "$root/tests/e2e/scenarios.py" \
  --program "$program" \
  --fbserver "$root/tests/support/fbserver.sh" \
  --work "$build/e2e-work" \
  --screenshots "$build/e2e-screenshots" \
  --out "$root/docs/screenshots" \
  screenshots
