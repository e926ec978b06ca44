#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd build
# A test that drives the real program under Xvfb may lose a race with the
# machine's load; such a test gets one more try.
ctest --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@"
