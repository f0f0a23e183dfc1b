#!/usr/bin/env bash
# Runs the libFuzzer targets of the sanitizer build (scripts/sanitize.sh builds it) for a fixed
# time each, several at once, starting from the committed corpus in tests/fuzz/corpus/.
#
#   scripts/fuzz.sh [seconds] [target...]    default: 30 seconds, every target
#   VONDREL_FUZZ_JOBS=n                      at most n fuzzers at once (default: one per core)
#
# New inputs go to build-asan/fuzz/<target>/corpus, never into the source tree. A crash leaves
# its input in build-asan/fuzz/<target>/; copied into tests/fuzz/corpus/<target>/ it becomes a
# regression test that ctest replays.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${VONDREL_ASAN_BUILD_DIR:-$root/build-asan}
seconds=${1:-30}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
    for source in "$root"/tests/fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi

# The sanitizer settings of the tests (cmake/VondrelSanitizers.cmake), for runs outside ctest.
export QT_QPA_PLATFORM=offscreen TZ=Europe/Berlin LC_ALL=C.UTF-8
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/cmake/lsan.supp:print_suppressions=0

# Leaves the fuzzer's exit code in the target's folder: a job slot's wait may reap it early.
run_target() {
    local target=$1 work=$build_dir/fuzz/$1 status=0
    mkdir -p "$work/corpus"
    rm -f "$work"/{crash,leak,oom,timeout,slow-unit}-* "$work/status"
    "$build_dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -malloc_limit_mb=2048 -max_len=65536 -print_final_stats=1 -artifact_prefix="$work/" \
        "$work/corpus" "$root/tests/fuzz/corpus/$target" >"$work/log" 2>&1 || status=$?
    echo "$status" >"$work/status"
}

jobs_max=${VONDREL_FUZZ_JOBS:-$(nproc)}
for target in "${targets[@]}"; do
    if [[ ! -x "$build_dir/tests/fuzz/$target" ]]; then
        echo "No fuzzer $target in $build_dir; run scripts/sanitize.sh first." >&2
        exit 1
    fi
    while (($(jobs -rp | wc -l) >= jobs_max)); do
        wait -n || true
    done
    run_target "$target" &
done
wait

passed=0
failed=0
for target in "${targets[@]}"; do
    if [[ $(cat "$build_dir/fuzz/$target/status" 2>/dev/null) == 0 ]]; then
        passed=$((passed + 1))
        echo "$target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' \
            "$build_dir/fuzz/$target/log" | grep -o '[0-9]*$') inputs, no fault"
    else
        failed=$((failed + 1))
        echo "$target: FAULT (log: $build_dir/fuzz/$target/log)"
        grep -v '^#[0-9]' "$build_dir/fuzz/$target/log" | tail -80
        # CI keeps no files: the input goes into the log, to be saved as a regression input.
        for artifact in "$build_dir/fuzz/$target"/{crash,leak,oom,timeout,slow-unit}-*; do
            [[ -f $artifact ]] || continue
            echo "input $(basename "$artifact") as base64:"
            head -c 65536 "$artifact" | base64 -w 0
            echo
        done
    fi
done
echo "fuzz: $passed passed, $failed failed"
((failed == 0))
