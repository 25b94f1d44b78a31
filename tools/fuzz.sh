#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a
# bounded time on a scratch copy of its committed corpus (fuzz/corpus/NAME/).
# Fails on the first crash, sanitizer report, broken invariant, timeout or
# memory excess; libFuzzer then leaves the input as crash-*, timeout-* or
# oom-* in build-fuzz/fuzz/findings/. Installs clang and its runtime when
# missing. Prints each target's inputs, inputs a second and final coverage.
#
# The parser targets (parse*) run one parser alone; each shares its corpus
# with the scene-level target that takes that parser's values into a scene,
# so that the scene-level target starts from what the fast one found.
#
# Usage: tools/fuzz.sh [seconds-per-target] [target...]   (default 60, all)
# With CAELO_FUZZ_MERGE=1 the inputs a run found that add coverage are merged
# into the committed corpus (libFuzzer's -merge=1), for a long run whose
# findings are to be kept. CAELO_FUZZ_TIMEOUT (seconds, default 20) is the
# longest one input may take; a long run on a machine busy with other work
# may need more, since a slow input under load is not a finding.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${1:-60}
shift || true
timeout=${CAELO_FUZZ_TIMEOUT:-20}
# target:corpus
all=(parseNumberText:numberText parseDates:date parseSceneJson:sceneFile parseScriptReading:scriptLines
    parseCommandWords:console
    numberText:numberText sceneFile:sceneFile console:console date:date scriptLines:scriptLines)
selected=()
for pair in "${all[@]}"; do
    if [ $# -eq 0 ] || [[ " $* " == *" ${pair%%:*} "* ]]; then
        selected+=("$pair")
    fi
done
if [ ${#selected[@]} -eq 0 ]; then
    echo "fuzz: no target named $*; the targets are: ${all[*]%%:*}" >&2
    exit 2
fi
targets=("${selected[@]%%:*}")

# The longest input a target is given. The JSON parser's target needs some
# 2,010 bytes to pass the nesting bound, the script reader's passes its
# bounds (chosen by the first two bytes) within a few hundred, and the line
# splitter's lines end within a few dozen (a longer input only repeats the
# check line by line); longer inputs only slow them down.
max_len_of() {
    case $1 in
    parseSceneJson | parseScriptReading) echo 4096 ;;
    parseCommandWords) echo 512 ;;
    *) echo 32768 ;;
    esac
}

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
for pair in "${selected[@]}"; do
    target=${pair%%:*}
    name=${pair#*:}
    echo "== Fuzzing $target for $seconds s"
    # New inputs go to a scratch corpus, so the committed corpus grows only
    # by a merge; the dictionary, if any, steers the mutations.
    corpus="$build/fuzz/corpus-$target"
    mkdir -p "$corpus"
    dictionary=()
    [ -f "fuzz/corpus/$name.dict" ] && dictionary=(-dict="$root/fuzz/corpus/$name.dict")
    log="$build/fuzz/$target.log"
    if ! "$build/fuzz/fuzz_$target" "$corpus" "$root/fuzz/corpus/$name" "${dictionary[@]}" \
        -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=4096 -max_len="$(max_len_of "$target")" \
        -artifact_prefix="$findings/$target-" -print_final_stats=1 >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "fuzz: $target failed; the input is in $findings/ and the whole log in $log" >&2
        exit 1
    fi
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done )' "$log" || true
    grep -E 'DONE ' "$log" | tail -n 1 || true
    if [ "${CAELO_FUZZ_MERGE:-0}" = 1 ]; then
        "$build/fuzz/fuzz_$target" -merge=1 "$root/fuzz/corpus/$name" "$corpus" -timeout="$timeout" \
            -rss_limit_mb=4096 -max_len="$(max_len_of "$target")" >"$log.merge" 2>&1
        echo "merged: $(grep -E 'MERGE-OUTER: [0-9]+ new files' "$log.merge" || echo 'see '"$log.merge")"
    fi
done
echo "fuzz: every target ran ${seconds} s without a finding"
