#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
# Extra arguments go to ctest (for example -R Profile).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh test
jobs="${VELTA_JOBS:-$(nproc)}"
cmake --preset asan >/dev/null
cmake --build build-test --parallel "$jobs"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Every fuzz target for a few seconds on a copy of its seed corpus (VELTA_FUZZ_SECONDS=0 skips).
fuzz_seconds="${VELTA_FUZZ_SECONDS:-5}"
if [ "$fuzz_seconds" -gt 0 ]; then tools/fuzz.sh "$fuzz_seconds"; fi
# The tests last, so that their summary closes the output.
ctest --preset asan --parallel "$jobs" "$@"
