#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
set -euo pipefail
source "$(dirname "$0")/common.sh"
qv_install
qv_build
cd "$QV_BUILD"
ctest --output-on-failure -j "$(nproc)" "$@"
