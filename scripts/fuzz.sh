#!/usr/bin/env bash
# The long fuzzing run: each fuzzer for the given seconds (default 300),
# starting from its corpus in tests/fuzz/corpus/<target>. Inputs that reach
# new code are merged back into that corpus, so it grows on purpose: look
# them over and commit them. A crash, sanitizer report or mismatch leaves
# its input in <build>/tests/fuzz/long/<target>/ and makes the script fail.
#   bash scripts/fuzz.sh [seconds]      (FUZZ_BUILD=<folder>, default build/fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh

seconds=${1:-300}
build=${FUZZ_BUILD:-build/fuzz}

bash scripts/setup.sh
cmake --no-warn-unused-cli -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Debug -DINSTRRSE_TESTS=ON >/dev/null
cmake --build "$build" --target fuzzers

export UBSAN_OPTIONS=print_stacktrace=1
failed=()
# The fuzzers and their input lengths, as the build lists them.
while read -r target max_len; do
    exe=$build/tests/fuzz/$target
    corpus=tests/fuzz/corpus/$target
    work=$build/tests/fuzz/long/$target
    rm -rf "$work"
    mkdir -p "$work/found"
    echo "fuzz: $target for ${seconds}s"
    # New inputs go to the first folder, never straight into the repository.
    if ! "$exe" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
            -print_final_stats=1 -artifact_prefix="$work/" \
            "$work/found" "$corpus" >"$work/fuzz.log" 2>&1 </dev/null; then
        failed+=("$target")
        grep -E '^(paths|list reader|zip reader):|ERROR|runtime error|SUMMARY|Test unit written' "$work/fuzz.log" | head -20
    fi
    grep -h -E '^Done [0-9]+ runs|number_of_executed_units' "$work/fuzz.log" | sed "s/^/fuzz: $target: /"

    before=$(find "$corpus" -type f | wc -l)
    # The merge replays every input; one that crashes must land here too.
    "$exe" -merge=1 -max_len="$max_len" -artifact_prefix="$work/merge-" \
           "$corpus" "$work/found" >"$work/merge.log" 2>&1 </dev/null
    after=$(find "$corpus" -type f | wc -l)
    echo "fuzz: $target: corpus $before -> $after files ($(cat "$corpus"/* | wc -c) bytes)"
done <"$build/tests/fuzz/fuzzers.txt"

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: FAILED: ${failed[*]} (inputs in $build/tests/fuzz/long/)"
    exit 1
fi
echo "fuzz: no faults found"
