#!/usr/bin/env bash
# Cross-builds the core and its tests for 64-bit Windows and runs every test program under Wine.
# With the Qt for Windows that "tools/setup-windows.sh qt" makes, it builds the two programs and
# their window tests too, runs those on the offscreen platform, starts each program under Wine on
# a virtual display, and installs, starts and uninstalls the Windows installer. Ends with one line
# "N passed, N failed, N skipped" and a non-zero exit on any failure.
# VELTA_WINDOWS_BUILD=0 runs the programs already built.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${VELTA_JOBS:-$(nproc)}"
amalgamation="$(tools/setup-windows.sh)"
qt="$(dirname "$amalgamation")/qt6-mingw"
curl="$(dirname "$amalgamation")/curl-mingw"
if [ -f "$qt/velta-qt-complete" ]; then
  gui=1 build=build-windows-gui
  configure=(cmake --preset windows-gui -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake")
else
  gui=0 build=build-windows
  configure=(cmake --preset windows)
  skipped_gui="no Qt for Windows in $qt (tools/setup-windows.sh qt makes it): the programs, their window tests, the runs under Wine and the installer were SKIPPED"
  echo "$skipped_gui"
fi
if [ -f "$curl/velta-curl-complete" ]; then
  configure+=(-DCURL_DIR="$curl/lib/cmake/CURL")
else
  # Not found: the Windows programs are built without a mail sender.
  configure+=(-DCURL_DIR=CURL_DIR-NOTFOUND)
  skipped_mail="no libcurl for Windows in $curl (tools/setup-windows.sh curl builds it): dormix.exe was built without a mail sender and the warnings' tests under Wine were SKIPPED (not counted below)"
  echo "$skipped_mail"
fi
if [ "${VELTA_WINDOWS_BUILD:-1}" != 0 ]; then
  "${configure[@]}" -DVELTA_SQLITE_AMALGAMATION="$amalgamation" >/dev/null
  cmake --build "$build" --parallel "$jobs"
fi

wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64="$(command -v wine64)"
wineserver="$(dirname "$wine64")/wineserver"
# A Wine of our own, made once per machine, so that no other user's Windows folder is touched.
export WINEPREFIX="${VELTA_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/velta-windows/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine64" wineboot -i >/dev/null 2>&1 || true
fi
"$wine64" wineboot -i >/dev/null 2>&1 || true  # starts the server that the test programs share
# The window tests: offscreen, with the fonts the Linux tests measure (Qt for Windows draws
# offscreen with FreeType from this folder).
export QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu'

passed=0 failed=0 skipped=0 broken=()
log_dir="$build/test-logs"
mkdir -p "$log_dir"
for exe in "$build"/bin/*_tests.exe; do
  name="$(basename "$exe" .exe)"
  log="$log_dir/$name.log"
  status=0
  (cd "$build/bin" && timeout 900 "$wine64" "./$name.exe" --gtest_brief=1) >"$log" 2>&1 || status=$?
  count() { sed -n "s/^\[  *$1  *\] \([0-9][0-9]*\) tests\{0,1\}[.,].*/\1/p" "$log" | tail -n1; }
  p="$(count PASSED)"; f="$(count FAILED)"; s="$(count SKIPPED)"
  # In brief output GoogleTest names each failed test once and leaves out the failure count.
  [ -n "$f" ] || f="$(grep -c '^\[  FAILED  \] [A-Za-z_0-9/]*\.[A-Za-z_0-9/]* (' "$log" || true)"
  p="${p:-0}"; f="${f:-0}"; s="${s:-0}"
  if [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi  # it ended before its own summary
  grep -E '^\[  FAILED  \] [A-Za-z]|: Failure.?$|Expected|Which is|^  Actual' "$log" | head -n 40 || true
  echo "$name: $p passed, $f failed, $s skipped (exit $status)"
  passed=$((passed + p)); failed=$((failed + f)); skipped=$((skipped + s))
  [ "$f" -eq 0 ] || broken+=("$name")
done

# One check of the programs themselves: counted as one test, its output in its log.
check() {
  local name="$1"; shift
  if "$@" >"$log_dir/$name.log" 2>&1; then
    echo "$name: passed"; passed=$((passed + 1))
  else
    echo "$name: FAILED (log in $log_dir/$name.log)"; tail -n 15 "$log_dir/$name.log"
    failed=$((failed + 1)); broken+=("$name")
  fi
}
# Marqueta answers --version in a message box when no console is attached, as under Wine here;
# Qt's own switch makes it print the line instead.
export QT_COMMAND_LINE_PARSER_NO_GUI_MESSAGE_BOXES=1
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
# program's --version line carries the package's version
version_of() {
  local out; out="$(timeout 120 "$wine64" "$1" --version)"
  echo "$out"; [[ "$out" == *"$version"* ]]
}
# runs a command line in Wine's cmd with WINDIR (demo_windir, else the demo's) and ACCTKIT_DB on
# the demo installation (Wine sets WINDIR itself for a program started from Linux)
on_demo() {
  (cd "$build/bin" && timeout 300 "$wine64" cmd /c "set WINDIR=${demo_windir:-$demo\\windows}&& set ACCTKIT_DB=$demo\\tervox\\users.db&& $*")
}
# With 30 days the demo has five dormant users; grace is one day short.
dormix_dry_run() {
  local out; out="$(on_demo dormix.exe --days 30)"
  echo "$out"; grep -q alice <<<"$out" && grep -q judy <<<"$out" && ! grep -q grace <<<"$out"
}
# Dormix's warnings under Wine, to the tests' mail server on this machine's 127.0.0.1: the dry run
# sends nothing, the deleting run sends them and records them in the Log folder.
dormix_warns() {
  local mail="$PWD/$build/demo/mail" server port ran=0
  rm -rf "$mail"; mkdir -p "$mail"
  /usr/bin/python3 tools/smtp_sink.py "$mail" >"$mail/port" & server=$!
  for _ in $(seq 300); do [ -s "$mail/port" ] && break; sleep 0.1; done
  port="$(cat "$mail/port")"
  if [ -n "$port" ] && timeout 300 "$wine64" "$bin/make-demo.exe" --mail "$demo" "$port"; then
    local demo_windir="$demo\\mail\\windows"
    on_demo dormix.exe --days 30 && [ -z "$(ls "$mail"/*.eml 2>/dev/null)" ] &&
      on_demo dormix.exe --days 30 --yes --tervox=no &&
      ls "$mail"/*.eml && grep -l '^To: ' "$mail"/*.eml && ran=1
  fi
  kill "$server"; wait "$server" 2>/dev/null || true
  [ "$ran" -eq 1 ]
}
# Marqueta with the "windows" platform on a virtual display: its main window must come up, and
# a picture of the screen goes to marqueta-windows.png.
marqueta_window() {
  local display=":$((90 + RANDOM % 100))" xvfb app found=0
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
  sleep 2
  DISPLAY="$display" QT_QPA_PLATFORM=windows on_demo marqueta.exe & app=$!
  for _ in $(seq 90); do
    if DISPLAY="$display" xwininfo -root -tree 2>/dev/null | grep -q '"Marqueta"'; then found=1; break; fi
    sleep 1
  done
  sleep 3  # the list fills after the window shows
  DISPLAY="$display" xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$log_dir/marqueta-windows.png" || true
  "$wineserver" -k || true
  wait "$app" 2>/dev/null || true
  kill "$xvfb"; wait "$xvfb" 2>/dev/null || true
  [ "$found" -eq 1 ]
}
# The installer under Wine: a silent install into Program Files, both installed programs
# started, a silent uninstall, and the Windows folder as it was (VELTA.INI untouched).
installer() {
  local setup drive="$WINEPREFIX/drive_c" folder="C:\\Program Files\\Marqueta and Dormix"
  setup="$(VELTA_WINDOWS_BUILD=0 tools/package-windows.sh)"
  snapshot() { (cd "$drive" && find . -path './users/*/Temp' -prune -o -path './windows/temp' -prune -o -print | sort); }
  local ini="$drive/windows/VELTA.INI" made_ini=0
  [ -e "$ini" ] || { printf '[PROGRAM]\r\nPATH=C:\\velta\r\n' >"$ini"; made_ini=1; }
  local ini_before; ini_before="$(md5sum <"$ini")"
  snapshot >"$log_dir/before-install.txt"
  "$wine64" "$setup" /S && "$wineserver" -w
  version_of "$folder\\marqueta.exe" && version_of "$folder\\dormix.exe" &&
    ls "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Marqueta and Dormix"
  local ran=$?
  "$wine64" "$folder\\uninstall.exe" /S && "$wineserver" -w
  snapshot >"$log_dir/after-uninstall.txt"
  local ini_after; ini_after="$(md5sum <"$ini")"
  [ "$made_ini" -eq 0 ] || rm -f "$ini"
  [ "$ran" -eq 0 ] && [ "$ini_before" = "$ini_after" ] &&
    diff "$log_dir/before-install.txt" "$log_dir/after-uninstall.txt"
}
if [ "$gui" -eq 1 ]; then
  bin="$build/bin"
  check marqueta-version version_of "$bin/marqueta.exe"
  check dormix-version version_of "$bin/dormix.exe"
  rm -rf "$build/demo"
  demo="$("$wine64" winepath -w "$PWD/$build/demo" 2>/dev/null | tr -d '\r')"
  check make-demo timeout 300 "$wine64" "$bin/make-demo.exe" "$demo"
  check dormix-dry-run dormix_dry_run
  if [ -f "$curl/velta-curl-complete" ]; then check dormix-warns dormix_warns; fi
  check marqueta-window marqueta_window
  check installer installer
fi
[ ${#broken[@]} -eq 0 ] || echo "failing programs: ${broken[*]} (logs in $log_dir)"
[ "$gui" -eq 1 ] || echo "$skipped_gui"
[ -z "${skipped_mail:-}" ] || echo "$skipped_mail"
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
