#!/usr/bin/env bash
# Installs what the Windows build of the core needs and makes SQLite's single-file source from
# Debian's own source package. Safe to run again: it installs only what is missing and makes the
# amalgamation once. Prints the folder that holds sqlite3.c and sqlite3.h.
# "setup-windows.sh qt" also cross-builds Qt for Windows from Debian's qt6-base source package,
# once (it takes hours on two cores), and prints its folder as a second line.
# "setup-windows.sh deb-src" only adds the deb-src entries (below) and installs nothing.
# VELTA_APT_DIR stands for /etc/apt (the tests point it at a folder of their own).
set -euo pipefail
me="$(basename "$0")"
# Whatever stops the script says where; the steps below say what they were doing.
trap 'echo "$me: stopped by a failing command at line $LINENO: $BASH_COMMAND" >&2' ERR
fail() { echo "$me: $*" >&2; exit 1; }
cache="${VELTA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velta-windows}"
toolchain="$(cd "$(dirname "$0")/.." && pwd)/cmake/toolchain-mingw64.cmake"
apt_dir="${VELTA_APT_DIR:-/etc/apt}"
with_qt=0 only_sources=0
case "${1:-}" in
  "") ;;
  qt) with_qt=1 ;;
  deb-src) only_sources=1 ;;
  *) echo "usage: $0 [qt | deb-src]" >&2; exit 2 ;;
esac
sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 "$@"; }

# Source packages come from the same mirror as the machine's binary packages: each enabled Debian
# entry again as deb-src, in the layout it is written in: the one-line layout of sources.list and
# sources.list.d/*.list (what the Debian installer and debootstrap write) into
# velta-deb-src.list, the deb822 stanzas of sources.list.d/*.sources into velta-deb-src.sources.
# Nothing is added when deb-src entries are there already. Each file is written whole beside its
# place and then renamed, so a failed run leaves no empty or partial file; an empty one left by
# an older script counts for nothing and is replaced.
one_line_files() { shopt -s nullglob; local f; for f in "$apt_dir/sources.list" "$apt_dir"/sources.list.d/*.list; do if [ -f "$f" ]; then echo "$f"; fi; done; }
deb822_files() { shopt -s nullglob; local f; for f in "$apt_dir"/sources.list.d/*.sources; do if [ -f "$f" ]; then echo "$f"; fi; done; }
# the enabled one-line entries of type $1 ("deb" or "deb-src") of a Debian mirror
one_line_entries() {
  local f
  one_line_files | while read -r f; do grep -E "^[[:space:]]*$1[[:space:]].*debian" "$f" || true; done
}
# the enabled deb822 stanzas whose Types hold $1, of a Debian mirror
deb822_stanzas() {
  local f
  deb822_files | while read -r f; do
    awk -v type="$1" 'BEGIN { RS = ""; ORS = "\n\n" }
      { n = split($0, line, "\n"); types = ""; uris = ""; enabled = 1
        for (i = 1; i <= n; i++) {
          key = tolower(line[i])
          if (key ~ /^types:/) types = " " substr(line[i], 7) " "
          else if (key ~ /^uris:/) uris = line[i]
          else if (key ~ /^enabled:[[:space:]]*no/) enabled = 0
        }
        gsub(/[[:space:]]+/, " ", types)
        if (enabled && index(types, " " type " ") && uris ~ /debian/) print }' "$f"
  done
}
# writes stdin to $1 through a temporary file beside it, or fails without touching $1
install_whole() {
  local target="$1" tmp
  tmp="$(mktemp)" || fail "cannot make a temporary file for $target"
  cat >"$tmp"
  if ! { $sudo install -m 0644 "$tmp" "$target.tmp" && $sudo mv -f "$target.tmp" "$target"; }; then
    $sudo rm -f "$target.tmp"; rm -f "$tmp"
    fail "cannot write $target"
  fi
  rm -f "$tmp"
}
add_deb_src() {
  local name="$apt_dir/sources.list.d/velta-deb-src" one_line deb822
  if [ -n "$(one_line_entries deb-src)$(deb822_stanzas deb-src)" ]; then return 1; fi
  one_line="$(one_line_entries deb | sed -E 's/^([[:space:]]*)deb([[:space:]])/\1deb-src\2/')"
  deb822="$(deb822_stanzas deb | sed -E 's/^(Types:).*/\1 deb-src/I')"
  if [ -z "$one_line$deb822" ]; then
    fail "found no enabled Debian entry (deb) in $apt_dir/sources.list or $apt_dir/sources.list.d/*.list or *.sources to add deb-src entries for; add deb-src entries for your Debian mirror and run this again"
  fi
  $sudo mkdir -p "$apt_dir/sources.list.d" || fail "cannot make $apt_dir/sources.list.d"
  $sudo rm -f "$name.list" "$name.sources" || fail "cannot remove the old $name.list or $name.sources"
  [ -z "$one_line" ] || printf '%s\n' "$one_line" | install_whole "$name.list"
  [ -z "$deb822" ] || printf '%s\n' "$deb822" | install_whole "$name.sources"
  echo "added deb-src entries for the machine's Debian mirror: $(ls "$name".* | tr '\n' ' ')" >&2
}
if [ "$only_sources" -eq 1 ]; then
  add_deb_src || echo "deb-src entries are there already" >&2
  exit 0
fi

# The x86-64 cross compiler with POSIX threads (std::thread and friends), Wine to run the
# result, and what `apt-get source` and SQLite's own build need on the host (its configure runs
# `file`).
packages=(g++-mingw-w64-x86-64-posix wine64 googletest tcl dpkg-dev gcc make file)
# Qt's own build runs the host's moc, rcc and uic and its perl and CMake scripts; the window tests
# measure DejaVu fonts; the programs run on a virtual display, which is pictured; NSIS makes the
# installer.
[ "$with_qt" -eq 0 ] || packages+=(qt6-base-dev qt6-base-dev-tools cmake ninja-build perl fonts-dejavu-core
                                   xvfb x11-utils x11-apps netpbm nsis)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
updated=0
if [ ${#missing[@]} -gt 0 ]; then
  apt_get update -qq || fail "apt-get update failed (see above)"
  updated=1
  apt_get install -y -qq --no-install-recommends "${missing[@]}" >&2 || fail "installing ${missing[*]} failed (see above)"
fi
if add_deb_src; then updated=0; fi
apt_update_once() {
  [ "$updated" -eq 1 ] && return 0
  apt_get update -qq || fail "apt-get update failed (see above)"
  updated=1
}

amalgamation="$cache/sqlite-amalgamation"
if [ ! -f "$amalgamation/sqlite3.c" ]; then
  apt_update_once
  work="$cache/sqlite-source"
  rm -rf "$work" "$amalgamation"; mkdir -p "$work"
  (cd "$work" && apt-get source -qq sqlite3 >&2) || fail "apt-get source sqlite3 failed (see above)"
  tree="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'sqlite3-*' | head -n1)"
  [ -n "$tree" ] || fail "apt-get source sqlite3 left no source folder in $work"
  mkdir -p "$tree/bld"
  (cd "$tree/bld" && ../configure --disable-tcl >/dev/null && nice make -s sqlite3.c >&2) ||
    fail "making SQLite's sqlite3.c in $tree/bld failed (see above)"
  # Put in place whole: a folder with a sqlite3.c counts as made.
  mkdir -p "$amalgamation.tmp"
  cp "$tree/bld/sqlite3.c" "$tree/bld/sqlite3.h" "$amalgamation.tmp/"
  mv -T "$amalgamation.tmp" "$amalgamation"
  rm -rf "$work"
fi
echo "$amalgamation"
[ "$with_qt" -eq 1 ] || exit 0

# Qt for Windows, from the source package of the very Qt release the host's tools come from.
# Only what the two programs and their tests load: Core, Gui, Widgets and Test, the "windows"
# and "offscreen" platforms, the PNG (built into Gui), JPEG and GIF readers; zlib, libpng,
# libjpeg, FreeType and HarfBuzz are Qt's bundled copies. Debian's source leaves out the WinTab
# header, so tablet events are off. A build cut short goes on where it stopped when this runs
# again (delete qt6-build in the cache to start afresh); the stamp file is written last.
qt="$cache/qt6-mingw"
if [ ! -f "$qt/velta-qt-complete" ]; then
  work="$cache/qt6-source" build="$cache/qt6-build" log="$cache/qt6-build.log"
  if [ ! -f "$build/build.ninja" ]; then
    apt_update_once
    version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
    rm -rf "$work" "$build" "$qt"; mkdir -p "$work" "$build"
    (cd "$work" && apt-get source -qq "qt6-base=$version" >&2)
    tree="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)"
    echo "configuring Qt $version for Windows; the log: $log" >&2
    if ! (cd "$build" && "$tree/configure" -prefix "$qt" -release -shared \
            -qt-host-path /usr -nomake examples -nomake tests \
            -no-opengl -no-dbus -no-icu -no-direct2d -no-vulkan -no-ico -no-zstd \
            -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre \
            -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent \
            -no-feature-printsupport -no-feature-tabletevent \
            -- -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVELTA_MINGW_SHARED_RUNTIME=ON \
               -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake") >"$log" 2>&1
    then
      tail -n 30 "$log" >&2
      echo "configuring Qt failed; the log: $log" >&2
      exit 1
    fi
  fi
  # Qt 6.4 leaves the DirectWrite 3 font database out of Qt Gui when Direct2D is off, yet the
  # "windows" platform still asks for it and does not link: it takes the GDI one, as Gui does.
  tree="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)"
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$tree/src/plugins/platforms/windows/qwindowsintegration.cpp"
  echo "building Qt for Windows (hours on two cores); the log: $log" >&2
  start=$SECONDS
  if ! (cd "$build" && nice cmake --build . --parallel "${VELTA_JOBS:-$(nproc)}" && cmake --install .) >>"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "the Qt build failed; the log: $log" >&2
    exit 1
  fi
  echo "Qt built in $(( (SECONDS - start) / 60 )) minutes; processor time of this script and of its build:" >&2
  times >&2
  touch "$qt/velta-qt-complete"
  rm -rf "$work" "$build"
fi
echo "$qt"
