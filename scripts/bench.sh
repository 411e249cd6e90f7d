#!/usr/bin/env bash
# Installs what is missing, builds, generates the benchmark schema once
# ($QV_BUILD/bench/reference.fdb, reused while it exists; --tiny makes and
# uses tiny.fdb instead) and times every metadata window, the data view, the
# query result window and ExecuteStatement against the same statements run on
# the bare client library, the whole metadata script against isql-fb -x, and
# the explorer on a hundred thousand objects with and without the
# accessibility bridge, and the explorer, structure window and data view
# against a Firebird 4 server when the tests made one (all left out when
# --only names a measure).
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

# The windows that meet a server most, again against the Firebird 4 server
# over loopback TCP, when its private root is there (the Firebird 4 tests
# make it): the schema is generated on that server once and kept. The server
# writes the file; it gets its name here, once complete.
fb4_root="${QV_FB4_ROOT:-/opt/fb4root}"
if [[ " ${args[*]-} " != *" --only "* ]] && [ -d "$fb4_root/data" ]; then
  "$QV_ROOT/tests/support/fb4server.sh" ensure "$fb4_root" 3051 >/dev/null || status=1
  fb4name="bench-$size.fdb"
  fb4db="localhost/3051:/data/$fb4name"
  if [ ! -f "$fb4_root/data/$fb4name" ]; then
    echo "Generating the $size schema into $fb4db"
    rm -f "$fb4_root/data/$fb4name.partial"
    "$QV_BUILD/bin/quorvel_benchgen" "${generate[@]}" --keep-partial "$fb4db" &&
      mv "$fb4_root/data/$fb4name.partial" "$fb4_root/data/$fb4name" || status=1
  fi
  if [ -f "$fb4_root/data/$fb4name" ]; then
    "$QV_BUILD/bin/quorvel_bench" "$fb4db" --only explorer,structure,dataview --suffix _fb4 \
      "${args[@]}" || status=1
  fi
fi

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
