#!/usr/bin/env bash
# Installs what is missing, builds, generates the benchmark schema once
# ($QV_BUILD/bench/reference.fdb, reused while it exists; --tiny makes and
# uses tiny.fdb instead) and times every metadata window, the data view, the
# query result window and ExecuteStatement against the same statements run on
# the bare client library, the whole metadata script against isql-fb -x, and
# the explorer on a hundred thousand objects with and without the
# accessibility bridge (left out when --only names a measure).
# Prints a table and one line per measure:
#   bench <name> ratio=<r> quorvel_ms=<t> raw_ms=<t> rss_mb=<m> added_mb=<m>
#         data_mb=<m> bytes_per_row=<b>
# Options after --tiny go to the benchmark (--repeats N, --only <measure>).
# --profile <measure> runs that one measure under callgrind instead.
set -euo pipefail
source "$(dirname "$0")/common.sh"

size=reference
generate=()
profile=""
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --tiny) size=tiny; generate=(--tiny) ;;
    --profile) profile="$2"; shift ;;
    *) args+=("$1") ;;
  esac
  shift
done

# Only a profile needs valgrind.
[ -n "$profile" ] && QV_PACKAGES+=(valgrind)
qv_install
qv_build

dir="$QV_BUILD/bench"
db="$dir/$size.fdb"
mkdir -p "$dir"
if [ ! -f "$db" ]; then
  echo "Generating the $size schema into $db"
  start=$SECONDS
  "$QV_BUILD/bin/quorvel_benchgen" "${generate[@]}" "$db"
  echo "Generated in $((SECONDS - start)) s"
fi

export QT_QPA_PLATFORM=offscreen
if [ -n "$profile" ]; then
  out="$dir/callgrind.$profile.out"
  valgrind --tool=callgrind --callgrind-out-file="$out" \
    "$QV_BUILD/bin/quorvel_bench" "$db" --repeats 1 --only "$profile" "${args[@]}"
  callgrind_annotate "$out" | head -60
  echo "Profile: $out"
  exit 0
fi
status=0
"$QV_BUILD/bin/quorvel_bench" "$db" "${args[@]}" || status=1

# The explorer on a hundred thousand objects (a thousand with --tiny), as
# above and again with the accessibility bridge on, as a screen reader or
# the end-to-end tests have it: on an X server of its own, on a private bus.
[[ " ${args[*]-} " == *" --only "* ]] && exit $status
many="$dir/many-$size.fdb"
if [ ! -f "$many" ]; then
  echo "Generating the many-objects schema into $many"
  "$QV_BUILD/bin/quorvel_benchgen" "${generate[@]}" --many "$many"
fi
"$QV_BUILD/bin/quorvel_bench" "$many" --only explorer --suffix _100k "${args[@]}" || status=1
"$QV_ROOT/scripts/with-accessibility.sh" \
  "$QV_BUILD/bin/quorvel_bench" "$many" --only explorer --suffix _100k_a11y "${args[@]}" ||
  status=1
exit $status
