#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and UndefinedBehaviorSanitizer (Debug, so
# assertions run) into build-asan/ and runs every test there; any sanitizer report fails the
# test. The same build carries libFuzzer's instrumentation, so scripts/fuzz.sh uses it next.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
build_dir=${VONDREL_ASAN_BUILD_DIR:-$root/build-asan}
# -O1 keeps the assertions of a Debug build but runs the tests twice and the fuzzers six times
# as fast as -O0.
configure=()
# shellcheck disable=SC2054 # the commas belong to the sanitizer list
if [[ ! -f "$build_dir/CMakeCache.txt" ]]; then
    configure=(-G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++
        "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DVONDREL_SANITIZE=address,undefined -DVONDREL_FUZZ=ON)
fi
cmake -S "$root" -B "$build_dir" "${configure[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)"
