#!/usr/bin/env bash
# Installs missing packages, then configures and builds the project into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
build_dir=${VONDREL_BUILD_DIR:-$root/build}
# Configure every time: folders join the build when they get a CMakeLists.txt,
# which an existing build tree would not notice on its own.
generator=()
if [[ ! -f "$build_dir/CMakeCache.txt" ]]; then
    generator=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
cmake -S "$root" -B "$build_dir" "${generator[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
