#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang into build-fuzz and
# runs every one of them for the given number of seconds, all at once. Fails
# when any of them finds an input that crashes or breaks a promise; the input
# is kept in build-fuzz/fuzz/artifacts.
#   scripts/fuzz.sh <seconds>
set -euo pipefail
source "$(dirname "$0")/common.sh"
seconds="${1:?usage: scripts/fuzz.sh <seconds>}"
QV_PACKAGES+=(clang libclang-rt-14-dev)
qv_install

build="${QV_FUZZ_BUILD:-$QV_ROOT/build-fuzz}"
qv_configure_build fuzz "$build" --target fuzz_all

cd "$build/fuzz"
mkdir -p corpus logs artifacts
names=()
pids=()
for target in $(find . -maxdepth 1 -type f -executable -name 'fuzz_*' -printf '%f\n' | sort); do
  mkdir -p "corpus/$target"
  "./$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="artifacts/$target-" "corpus/$target" \
    >"logs/$target.log" 2>&1 &
  names+=("$target")
  pids+=($!)
done

failed=0
for i in "${!pids[@]}"; do
  target="${names[$i]}"
  if wait "${pids[$i]}"; then
    runs="$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "logs/$target.log" \
      | grep -o '[0-9]*$' || echo '?')"
    echo "fuzz: $target: $runs runs in ${seconds}s, no failure"
  else
    failed=1
    echo "fuzz: $target FAILED; its log:"
    tail -n 40 "logs/$target.log"
  fi
done
exit "$failed"
