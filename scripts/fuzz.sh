#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while, growing
# its corpus under fuzz/corpus/<target>.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
build_dir="$root/build-fuzz"

"$root/scripts/deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" -G Ninja -DOMBRIX_FUZZ=ON \
    -DOMBRIX_SANITIZE=ON -DOMBRIX_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" --parallel "$(nproc)" --target ombrix_fuzzers

for target in $(cat "$build_dir/fuzz/targets.txt"); do
    corpus="$root/fuzz/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target: ${seconds}s"
    "$build_dir/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus"
done
