#!/usr/bin/env bash
# "tools/setup-windows.sh pack" and "take" on caches of their own: an archive of the machine's
# versions is taken whole, one of other versions, without its list of versions, with a line it
# cannot read or with a link leading out of its folders is not, and nothing is packed before
# anything was built.
set -uo pipefail
source "$(dirname "$0")/script-test.sh"
sqlite="sqlite3 $(dpkg-query -W -f='${Version}' libsqlite3-0)" curl="curl $(dpkg-query -W -f='${Version}' libcurl4)"
# a cache with SQLite's amalgamation and libcurl as the setup leaves them, of the given versions
make_cache() {
  mkdir -p "$1/sqlite-amalgamation" "$1/curl-mingw/lib"
  echo "int x;" >"$1/sqlite-amalgamation/sqlite3.c"; echo "$2" >"$1/sqlite-amalgamation/velta-source-version"
  echo "lib" >"$1/curl-mingw/lib/libcurl.a"; echo "$3" >"$1/curl-mingw/velta-source-version"
  touch "$1/curl-mingw/velta-curl-complete"
}
run() {  # cache, archives folder, arguments...
  local cache="$1" archives="$2"; shift 2
  VELTA_WINDOWS_CACHE="$cache" VELTA_WINDOWS_ARCHIVES="$archives" "$script" "$@" 2>&1
}
mkdir -p "$root/shared" "$root/other" "$root/plain"

out="$(run "$root/empty" "$root/none" pack "$root/shared/nothing.tar.gz")"; status=$?
check "nothing built: pack refuses" '[ "$status" -eq 1 ] && [[ "$out" == *"nothing to pack"* ]] && [ ! -e "$root/shared/nothing.tar.gz" ]'

make_cache "$root/built" "$sqlite" "$curl"
out="$(run "$root/built" "$root/none" pack "$root/shared/cache.tar.gz")"; status=$?
check "pack: exit 0" '[ "$status" -eq 0 ]'
check "pack: the versions first in the archive" \
  '[ "$(tar -tzf "$root/shared/cache.tar.gz" | head -n1)" = velta-windows-cache.versions ] &&
   [ "$(tar -xzOf "$root/shared/cache.tar.gz" velta-windows-cache.versions)" = "sqlite-amalgamation $sqlite
curl-mingw $curl" ]'

out="$(run "$root/taken" "$root/shared" take)"; status=$?
check "matching versions: taken" '[ "$status" -eq 0 ] && [ "$out" != "${out%$root/taken/sqlite-amalgamation}" ]'
check "matching versions: both parts whole, with their versions" \
  '[ "$(cat "$root/taken/curl-mingw/lib/libcurl.a")" = lib ] && [ -f "$root/taken/curl-mingw/velta-curl-complete" ] &&
   [ "$(cat "$root/taken/sqlite-amalgamation/velta-source-version")" = "$sqlite" ] &&
   [ "$(cat "$root/taken/curl-mingw/velta-source-version")" = "$curl" ]'
check "matching versions: no unpacking folder left" '[ -z "$(ls -d "$root/taken"/unpack.* 2>/dev/null)" ]'

make_cache "$root/old" "$sqlite" "curl 7.0.0-1"
run "$root/old" "$root/none" pack "$root/other/old.tar.gz" >/dev/null
out="$(run "$root/refused" "$root/other" take)"; status=$?
check "another curl version: not taken, and said why" \
  '[ "$status" -eq 1 ] && [[ "$out" == *"holds curl 7.0.0-1, this machine has $curl; not taken"* ]] &&
   [ ! -e "$root/refused/sqlite-amalgamation" ] && [ ! -e "$root/refused/curl-mingw" ]'

tar -czf "$root/plain/plain.tar.gz" -C "$root/built" sqlite-amalgamation curl-mingw
out="$(run "$root/plain-cache" "$root/plain" take)"; status=$?
check "no list of versions: not taken" \
  '[ "$status" -eq 1 ] && [[ "$out" == *"holds no velta-windows-cache.versions, or is cut short; not taken"* ]] && [ ! -e "$root/plain-cache/curl-mingw" ]'

# An archive of the machine's versions that others may write, and archives made by hand: a list of
# versions with an empty line, and a part whose list of versions is a link to a file elsewhere,
# which the taking would write.
mkdir -p "$root/open"
cp "$root/shared/cache.tar.gz" "$root/open/"
chmod o+w "$root/open/cache.tar.gz"
out="$(run "$root/open-cache" "$root/open" take)"; status=$?
check "writable by others: not taken" \
  '[ "$status" -eq 1 ] && [[ "$out" == *"others may write it; not taken"* ]] && [ ! -e "$root/open-cache/curl-mingw" ]'
mkdir -p "$root/hostile/blank" "$root/hostile/link"
echo "kept" >"$root/victim"
cp -r "$root/built" "$root/hostile/blank/tree"; cp -r "$root/built" "$root/hostile/link/tree"
printf 'sqlite-amalgamation %s\n\ncurl-mingw %s\n' "$sqlite" "$curl" >"$root/hostile/blank/tree/velta-windows-cache.versions"
printf 'sqlite-amalgamation %s\ncurl-mingw %s\n' "$sqlite" "$curl" >"$root/hostile/link/tree/velta-windows-cache.versions"
ln -sf "$root/victim" "$root/hostile/link/tree/curl-mingw/velta-source-version"
for kind in blank link; do
  tar -czf "$root/hostile/$kind/x.tar.gz" -C "$root/hostile/$kind/tree" velta-windows-cache.versions sqlite-amalgamation curl-mingw
  out="$(run "$root/hostile-$kind" "$root/hostile/$kind" take)"; status=$?
  check "$kind: not taken, and said why" \
    '[ "$status" -eq 1 ] && [[ "$out" == *"; not taken"* ]] && [ ! -e "$root/hostile-$kind/curl-mingw" ] &&
     [ "$(cat "$root/victim")" = kept ]'
done

[ "$failures" -eq 0 ] && echo "all cases passed"
exit "$failures"
