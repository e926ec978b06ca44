#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package
# build/qorvsync_<version>_<architecture>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cmake --build build --target package
ls build/qorvsync_*.deb
