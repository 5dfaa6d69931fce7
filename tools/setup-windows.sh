#!/usr/bin/env bash
# Installs what the Windows build of the core needs and makes SQLite's single-file source from
# Debian's own source package. Safe to run again: it installs only what is missing and makes the
# amalgamation once. Prints the folder that holds sqlite3.c and sqlite3.h.
# "setup-windows.sh qt" also cross-builds Qt for Windows from Debian's qt6-base source package,
# once (it takes hours on two cores), and prints its folder as a second line.
set -euo pipefail
cache="${VELTA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velta-windows}"
toolchain="$(cd "$(dirname "$0")/.." && pwd)/cmake/toolchain-mingw64.cmake"
with_qt=0
case "${1:-}" in
  "") ;;
  qt) with_qt=1 ;;
  *) echo "usage: $0 [qt]" >&2; exit 2 ;;
esac
sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 "$@"; }

# The x86-64 cross compiler with POSIX threads (std::thread and friends), Wine to run the
# result, and what `apt-get source` and SQLite's own build need on the host.
packages=(g++-mingw-w64-x86-64-posix wine64 googletest tcl dpkg-dev gcc make)
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
    [ "$updated" -eq 1 ] || apt_get update -qq
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
