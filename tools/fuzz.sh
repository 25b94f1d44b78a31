#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a
# bounded time on a copy of its seed corpus (fuzz/corpus/<target>/). Fails on
# the first crash, sanitizer report, broken invariant, timeout or memory
# excess; libFuzzer then leaves the input as crash-*, timeout-* or oom-* in
# build-fuzz/fuzz/findings/. Installs clang and its runtime when missing.
#
# Usage: tools/fuzz.sh [seconds-per-target]   (default 60)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${1:-60}
targets=(numberText sceneFile console date scriptLines)

source tools/packages.sh
packages+=(clang libclang-rt-14-dev)
install_missing_packages

# Absolute paths: the console target works in a folder of its own.
root=$(pwd)
build=$root/build-fuzz
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCAELO_WERROR=ON -DCAELO_BUILD_TESTS=OFF \
    -DCAELO_BUILD_FUZZERS=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

findings="$build/fuzz/findings"
mkdir -p "$findings"
for target in "${targets[@]}"; do
    echo "== Fuzzing $target for $seconds s"
    # New inputs go to a scratch corpus, so the seed corpus in the repository
    # stays small; the dictionary, if any, steers the mutations.
    corpus="$build/fuzz/corpus-$target"
    mkdir -p "$corpus"
    dictionary=()
    [ -f "fuzz/corpus/$target.dict" ] && dictionary=(-dict="$root/fuzz/corpus/$target.dict")
    log="$build/fuzz/$target.log"
    if ! "$build/fuzz/fuzz_$target" "$corpus" "$root/fuzz/corpus/$target" "${dictionary[@]}" \
        -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -max_len=32768 \
        -artifact_prefix="$findings/$target-" -print_final_stats=1 >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "fuzz: $target failed; the input is in $findings/ and the whole log in $log" >&2
        exit 1
    fi
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done )' "$log" || true
done
echo "fuzz: every target ran ${seconds} s without a finding"
