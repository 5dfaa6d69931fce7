#!/usr/bin/env bash
# The deb-src step of tools/setup-windows.sh against apt folders of its own: the one-line layout
# of a fresh Debian install, the deb822 layout, both, an empty file left by an older run, entries
# already there, no Debian entry at all, a file that cannot be written, and an apt-get update that
# fails with the entries added.
set -uo pipefail
source "$(dirname "$0")/script-test.sh"

one_line='deb http://deb.debian.org/debian bookworm main
# deb-src http://deb.debian.org/debian bookworm main
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://security.debian.org/debian-security bookworm-security main
deb https://packages.example.com/apt stable main'
deb822='Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
  
Types: deb
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Enabled: false

Types: deb
URIs: http://deb.debian.org/debian-ports
Suites: sid
Components: main
Enabled: no

Types: deb
URIs: https://deb.example.com/node
Suites: nodistro
Components: main'

expected_list='deb-src http://deb.debian.org/debian bookworm main
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://security.debian.org/debian-security bookworm-security main'
expected_sources='Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg'

# case, sources.list, a file for sources.list.d ("" for none), its name
cases=(
  "one-line|$one_line||"
  "deb822||$deb822|debian.sources"
  "both|$one_line|$deb822|debian.sources"
  "empty file of an older run|||velta-deb-src.sources"
  "deb-src already there|deb-src http://deb.debian.org/debian bookworm main
deb http://deb.debian.org/debian bookworm main||"
  "no Debian entry|deb https://packages.example.com/apt stable main||"
  "a file that cannot be written|$one_line|$deb822|debian.sources"
  "apt-get update fails|$one_line||"
)
# apt as it answers the setup's build: every package installed, an update that fails
stubs="$root/stubs"
mkdir -p "$stubs"
printf '#!/bin/sh
echo "E: failed" >&2
exit 100
' >"$stubs/apt-get"
printf '#!/bin/sh
case "$*" in *Status*) echo "install ok installed" ;; *) exec /usr/bin/dpkg-query "$@" ;; esac
' >"$stubs/dpkg-query"
chmod +x "$stubs/apt-get" "$stubs/dpkg-query"
for entry in "${cases[@]}"; do
  IFS='|' read -r -d '' name list parts file <<<"$entry" || true
  parts="${parts%$'\n'}"; file="${file%$'\n'}"
  apt="$root/$name"
  mkdir -p "$apt/sources.list.d"
  [ -z "$list" ] || printf '%s\n' "$list" >"$apt/sources.list"
  [ -z "$file" ] || printf '%s' "$parts" >"$apt/sources.list.d/$file"
  if [ "$name" = "empty file of an older run" ]; then printf '%s\n' "$deb822" >"$apt/sources.list.d/debian.sources"; fi
  made_list="$apt/sources.list.d/velta-deb-src.list" made_sources="$apt/sources.list.d/velta-deb-src.sources"
  # A folder in the place of the second file's temporary name: it cannot be written, for root too.
  [ "$name" != "a file that cannot be written" ] || mkdir "$made_sources.tmp"
  if [ "$name" = "apt-get update fails" ]; then
    out="$(PATH="$stubs:$PATH" VELTA_APT_DIR="$apt" VELTA_WINDOWS_CACHE="$root/cache" "$script" 2>&1)"; status=$?
  else
    out="$(VELTA_APT_DIR="$apt" "$script" deb-src 2>&1)"; status=$?
  fi
  case "$name" in
    one-line|both)
      check "$name: exit 0" '[ "$status" -eq 0 ]'
      check "$name: the two Debian lines as deb-src, options kept" '[ "$(cat "$made_list")" = "$expected_list" ]' ;;&
    deb822|both|"empty file of an older run")
      check "$name: exit 0" '[ "$status" -eq 0 ]'
      check "$name: the enabled Debian stanza as deb-src" '[ "$(cat "$made_sources")" = "$expected_sources" ]' ;;&
    one-line) check "$name: no deb822 file" '[ ! -e "$made_sources" ]' ;;
    deb822|"empty file of an older run") check "$name: no one-line file" '[ ! -e "$made_list" ]' ;;
    "deb-src already there")
      check "$name: exit 0, nothing added" '[ "$status" -eq 0 ] && [ ! -e "$made_list" ] && [ ! -e "$made_sources" ]' ;;
    "no Debian entry")
      check "$name: exit 1 with the reason" '[ "$status" -eq 1 ] && [[ "$out" == *"found no enabled Debian entry"* ]]'
      check "$name: no file left" '[ -z "$(ls -A "$apt/sources.list.d")" ]' ;;
    "a file that cannot be written")
      check "$name: exit 1 with the reason" '[ "$status" -eq 1 ] && [[ "$out" == *"cannot write $made_sources; nothing was added"* ]]'
      check "$name: neither file left" '[ ! -e "$made_list" ] && [ ! -e "$made_sources" ]'
      rmdir "$made_sources.tmp" ;;
    "apt-get update fails")
      check "$name: exit 1 with the reason" '[ "$status" -eq 1 ] && [[ "$out" == *"apt-get update failed with the deb-src entries added"* ]]'
      check "$name: the entries taken away again" '[ -z "$(ls -A "$apt/sources.list.d")" ]' ;;
  esac
  check "$name: no temporary file left" '[ -z "$(find "$apt" -name "*.tmp")" ]'
  if [ "$status" -eq 0 ]; then
    before="$(cd "$apt" && find . -type f -exec md5sum {} + | sort)"
    again="$(VELTA_APT_DIR="$apt" "$script" deb-src 2>&1)"
    check "$name: a second run adds nothing" '[ "$again" = "deb-src entries are there already" ] &&
      [ "$(cd "$apt" && find . -type f -exec md5sum {} + | sort)" = "$before" ]'
  fi
done
[ "$failures" -eq 0 ] && echo "all cases passed"
exit "$failures"
