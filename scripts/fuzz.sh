#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs each one for
# SECONDS (default 60) on a copy of its seed corpus, so the repository does not grow.
# Prints the executions per target; exits non-zero when any target finds a crash, a leak or
# undefined behaviour. The input that broke a target is kept in build-fuzz/artifacts/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="$root/build-fuzz"

"$root/scripts/setup.sh" clang libclang-rt-14-dev

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVASTREL_FUZZ=ON >/dev/null
targets=()
for corpus in "$root"/fuzz/corpus/*/; do
    targets+=("$(basename "$corpus")")
done
echo "Building ${targets[*]} in $build"
cmake --build "$build" -j1 --target "${targets[@]}" >"$build/build.log" 2>&1 || {
    tail -40 "$build/build.log"
    exit 1
}

# Scratch files on a memory file system when there is one: the targets write files per input.
work="$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/artifacts"
export TMPDIR="$work"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

failed=()
for target in "${targets[@]}"; do
    cp -r "$root/fuzz/corpus/$target" "$work/$target"
    log="$work/$target.log"
    status=0
    "$build/fuzz/$target" "$work/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -detect_leaks=1 -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1 || status=$?
    executions="$(awk '/stat::number_of_executed_units/ {print $2}' "$log")"
    printf '%-16s %10s executions in %ss\n' "$target" "${executions:-?}" "$seconds"
    if [ "$status" -ne 0 ]; then
        failed+=("$target")
        grep -v '^#' "$log" | tail -60
    fi
done

if ((${#failed[@]})); then
    echo "Failed: ${failed[*]} (inputs in $build/artifacts/)"
    exit 1
fi
echo "No crash, leak or undefined behaviour found."
