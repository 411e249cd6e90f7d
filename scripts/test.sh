#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest; then
# builds the suite again with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan) and runs it there, where any sanitizer report fails; then runs
# every fuzz target for 30 seconds. Every stage runs; the script fails when
# any of them failed.
set -uo pipefail
source "$(dirname "$0")/common.sh"
QV_PACKAGES+=(clang libclang-rt-14-dev)
qv_install || exit 1

failed=()
stage() {
  local name="$1"
  shift
  echo "=== $name"
  local start=$SECONDS
  "$@" || failed+=("$name")
  echo "=== $name: $((SECONDS - start)) s"
}

run_tests() {
  (cd "$QV_BUILD" && ctest --output-on-failure -j "$(nproc)" "$@")
}

QV_ASAN_BUILD="${QV_ASAN_BUILD:-$QV_ROOT/build-asan}"

build_sanitized() {
  qv_configure_build sanitizer "$QV_ASAN_BUILD"
}

# intercept_tls_get_addr=0: GCC 12's runtime guesses the size of a dynamic
# thread-local block from the 16 bytes before it, which under ASan are ASan's
# own chunk header; for the embedded engine, loaded at run time, the leak
# checker then may scan a range that does not exist and die at exit (whether
# it does depends on where the block lands: on the length of the test's
# folder path, say). Without the interception, dynamic thread-local blocks
# are not taken apart at all; leak checking stays on and still reports leaks.
run_sanitized_tests() (
  export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1:intercept_tls_get_addr=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$QV_ROOT/tests/sanitizers/lsan.supp:print_suppressions=0"
  local status=0
  (cd "$QV_ASAN_BUILD" && ctest --output-on-failure -j "$(nproc)" "$@") || status=1
  # A report in a helper process does not always fail its test: look for any.
  if grep -E 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' \
      "$QV_ASAN_BUILD/Testing/Temporary/LastTest.log"; then
    echo "sanitizer reports above"
    status=1
  fi
  return $status
)

stage build qv_build
stage tests run_tests "$@"
stage benchmark "$QV_ROOT/scripts/bench.sh" --tiny
stage "sanitizer build" build_sanitized
stage "sanitizer tests" run_sanitized_tests "$@"
stage fuzzing "$QV_ROOT/scripts/fuzz.sh" 30

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All stages passed."
