#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs the whole
# test suite through CTest, then runs the tests of the threaded session and of
# the recording thread in a ThreadSanitizer build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$root/build-asan"
tsan_dir="$root/build-tsan"

"$root/scripts/build.sh" "$build_dir" -DOMBRIX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
export QT_QPA_PLATFORM=offscreen
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" --timeout 300

cmake -S "$root" -B "$tsan_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBRIX_TSAN=ON \
    -DOMBRIX_BUILD_BENCH=OFF
cmake --build "$tsan_dir" --parallel "$(nproc)" --target document_tests document_integration_tests \
    recording_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --test-dir "$tsan_dir" --label-regex '^threads$' --output-on-failure --timeout 300
