#!/usr/bin/env bash
# Cross-builds the GUI-free core and its tests for 64-bit Windows and runs every test program
# under Wine. Ends with one line "N passed, N failed, N skipped" and a non-zero exit on any failure.
# VELTA_WINDOWS_BUILD=0 runs the programs already built.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${VELTA_JOBS:-$(nproc)}"
amalgamation="$(tools/setup-windows.sh)"
if [ "${VELTA_WINDOWS_BUILD:-1}" != 0 ]; then
  cmake --preset windows -DVELTA_SQLITE_AMALGAMATION="$amalgamation" >/dev/null
  cmake --build build-windows --parallel "$jobs"
fi

wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64="$(command -v wine64)"
# A Wine of our own, made once per machine, so that no other user's Windows folder is touched.
export WINEPREFIX="${VELTA_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/velta-windows/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine64" wineboot -i >/dev/null 2>&1 || true
fi
"$wine64" wineboot -i >/dev/null 2>&1 || true  # starts the server that the test programs share

passed=0 failed=0 skipped=0 broken=()
log_dir=build-windows/test-logs
mkdir -p "$log_dir"
for exe in build-windows/bin/*_tests.exe; do
  name="$(basename "$exe" .exe)"
  log="$log_dir/$name.log"
  status=0
  (cd build-windows/bin && timeout 900 "$wine64" "./$name.exe" --gtest_brief=1) >"$log" 2>&1 || status=$?
  count() { sed -n "s/^\[  *$1  *\] \([0-9][0-9]*\) tests\{0,1\}[.,].*/\1/p" "$log" | tail -n1; }
  p="$(count PASSED)"; f="$(count FAILED)"; s="$(count SKIPPED)"
  # In brief output GoogleTest names each failed test once and leaves out the failure count.
  [ -n "$f" ] || f="$(grep -c '^\[  FAILED  \] [A-Za-z_0-9/]*\.[A-Za-z_0-9/]* (' "$log" || true)"
  p="${p:-0}"; f="${f:-0}"; s="${s:-0}"
  if [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi  # it ended before its own summary
  grep -E '^\[  FAILED  \] [A-Za-z]|Failure|Expected|Which is|^  Actual' "$log" | head -n 40 || true
  echo "$name: $p passed, $f failed, $s skipped (exit $status)"
  passed=$((passed + p)); failed=$((failed + f)); skipped=$((skipped + s))
  [ "$f" -eq 0 ] || broken+=("$name")
done
[ ${#broken[@]} -eq 0 ] || echo "failing programs: ${broken[*]} (logs in $log_dir)"
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
