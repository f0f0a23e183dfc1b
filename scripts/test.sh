#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to a tested build:
# installs what is missing, builds everything and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
build_dir=${VONDREL_BUILD_DIR:-$root/build}
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)"
