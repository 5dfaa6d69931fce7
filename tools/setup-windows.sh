#!/usr/bin/env bash
# Installs what the Windows build of the core needs and makes SQLite's single-file source from
# Debian's own source package. Safe to run again: it installs only what is missing and makes the
# amalgamation once. Prints the folder that holds sqlite3.c and sqlite3.h.
set -euo pipefail
cache="${VELTA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velta-windows}"
sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 "$@"; }

# The x86-64 cross compiler with POSIX threads (std::thread and friends), Wine to run the
# result, and what `apt-get source` and SQLite's own build need on the host.
packages=(g++-mingw-w64-x86-64-posix wine64 googletest tcl dpkg-dev gcc make)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
updated=0
if [ ${#missing[@]} -gt 0 ]; then
  apt_get update -qq; updated=1
  apt_get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# Source packages come from the same mirror as the machine's binary packages: each Debian entry
# again, as deb-src, in the format it is written in.
src_list=/etc/apt/sources.list.d/velta-deb-src
if [ ! -f "$src_list.sources" ] && [ ! -f "$src_list.list" ]; then
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && grep -q 'debian' "$f" && { sed 's/^Types: deb$/Types: deb-src/' "$f"; echo; }
  done | $sudo tee "$src_list.sources" >/dev/null
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb .*debian' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $sudo tee "$src_list.list" >/dev/null
  fi
  updated=0
fi

amalgamation="$cache/sqlite-amalgamation"
if [ ! -f "$amalgamation/sqlite3.c" ]; then
  [ "$updated" -eq 1 ] || apt_get update -qq
  work="$cache/sqlite-source"
  rm -rf "$work"; mkdir -p "$work"
  (cd "$work" && apt-get source -qq sqlite3 >&2)
  tree="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'sqlite3-*' | head -n1)"
  mkdir -p "$tree/bld"
  (cd "$tree/bld" && ../configure --disable-tcl >/dev/null && nice make -s sqlite3.c >&2)
  mkdir -p "$amalgamation"
  cp "$tree/bld/sqlite3.c" "$tree/bld/sqlite3.h" "$amalgamation/"
  rm -rf "$work"
fi
echo "$amalgamation"
