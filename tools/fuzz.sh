#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (folder build-fuzz) and runs each for the given number
# of seconds (default 60) on a copy of its seed corpus under tests/fuzz/corpus/. Names of targets
# after the time run only those. Exits non-zero when any target finds a crash, a sanitizer report
# or a broken property, and says which target and where the input that did it was kept.
#   tools/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
[ $# -gt 0 ] && shift
all=(fuzz_catalogue_loader fuzz_next_token fuzz_parse_date fuzz_profile_file fuzz_folder_user_name fuzz_lookup_key
     fuzz_remove_user_keys_batch)
targets=("${@:-${all[@]}}")
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELTA_FUZZ=ON -DVELTA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}" --parallel "${VELTA_JOBS:-2}" >/dev/null

artifacts="$PWD/$build/fuzz-findings"
mkdir -p "$artifacts"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failed=0
for target in "${targets[@]}"; do
  corpus="$work/$target"
  mkdir -p "$corpus"
  [ -d "tests/fuzz/corpus/$target" ] && cp -R "tests/fuzz/corpus/$target/." "$corpus/"
  log="$artifacts/$target.log"
  if "$build/bin/$target" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$artifacts/$target-" -print_final_stats=1 >"$log" 2>&1; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    echo "fuzz $target: no finding in ${seconds} s, ${runs:-?} inputs, corpus $(ls "$corpus" | wc -l) files"
  else
    failed=1
    echo "FUZZ FINDING in $target: input kept in $(ls -t "$artifacts/$target"-* 2>/dev/null | head -1), log $log"
    grep -E "property broken|ERROR: |SUMMARY: |runtime error" "$log" | head -5 || tail -20 "$log"
  fi
done
exit "$failed"
