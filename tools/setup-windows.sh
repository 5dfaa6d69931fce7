#!/usr/bin/env bash
# Installs what the Windows build of the core needs and makes SQLite's single-file source from
# Debian's own source package. Safe to run again: it installs only what is missing and makes the
# amalgamation once. Prints the folder that holds sqlite3.c and sqlite3.h.
# "setup-windows.sh qt" also cross-builds Qt for Windows from Debian's qt6-base source package,
# once (it takes hours on two cores), and prints its folder as a second line.
# "setup-windows.sh curl" also cross-builds libcurl for Windows (below), once.
# "setup-windows.sh deb-src" only adds the deb-src entries (below) and installs nothing.
# "setup-windows.sh pack FILE" puts what was built (SQLite's amalgamation, libcurl and, when built,
# Qt) with the Debian source versions they came from into the archive FILE; an archive of
# VELTA_WINDOWS_ARCHIVES (../shared/windows-cache beside the repository) whose versions are the
# machine's is taken instead of building; "setup-windows.sh take" only takes, and fails when
# SQLite's amalgamation or libcurl is still missing. Neither installs anything.
# VELTA_APT_DIR stands for /etc/apt (the tests point it at a folder of their own).
set -euo pipefail
me="$(basename "$0")"
# Whatever stops the script says where; the steps below say what they were doing.
trap 'echo "$me: stopped by a failing command at line $LINENO: $BASH_COMMAND" >&2' ERR
fail() { echo "$me: $*" >&2; exit 1; }
cache="${VELTA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velta-windows}"
toolchain="$(cd "$(dirname "$0")/.." && pwd)/cmake/toolchain-mingw64.cmake"
apt_dir="${VELTA_APT_DIR:-/etc/apt}"
repo="$(cd "$(dirname "$0")/.." && pwd)"
archives="${VELTA_WINDOWS_ARCHIVES:-$repo/../shared/windows-cache}"
with_qt=0 with_curl=0 mode=build pack=""
case "${1:-}" in
  "") ;;
  qt) with_qt=1 with_curl=1 ;;
  curl) with_curl=1 ;;
  deb-src|take) mode="$1" ;;
  pack) [ -n "${2:-}" ] || { echo "usage: $0 pack FILE" >&2; exit 2; }; mode=pack pack="$2" ;;
  *) echo "usage: $0 [qt | curl | deb-src | take | pack FILE]" >&2; exit 2 ;;
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
# the enabled deb822 stanzas whose Types hold $1, of a Debian mirror (a line of blanks parts
# stanzas as an empty one does, and apt's words for "no" turn a stanza off)
deb822_stanzas() {
  local f
  deb822_files | while read -r f; do
    sed 's/^[[:space:]]*$//' "$f" | awk -v type="$1" 'BEGIN { RS = ""; ORS = "\n\n" }
      { n = split($0, line, "\n"); types = ""; uris = ""; enabled = 1
        for (i = 1; i <= n; i++) {
          key = tolower(line[i])
          if (key ~ /^types:/) types = " " substr(line[i], 7) " "
          else if (key ~ /^uris:/) uris = line[i]
          else if (key ~ /^enabled:[[:space:]]*(no|false|off|without|disable)[[:space:]]*$/) enabled = 0
        }
        gsub(/[[:space:]]+/, " ", types)
        if (enabled && index(types, " " type " ") && uris ~ /debian/) print }'
  done
}
# writes stdin to $1 through a temporary file beside it, or fails without touching $1
install_whole() {
  local target="$1" tmp
  tmp="$(mktemp)" || return 1
  cat >"$tmp"
  if ! { $sudo install -T -m 0644 "$tmp" "$target.tmp" && $sudo mv -fT "$target.tmp" "$target"; }; then
    $sudo rm -f "$target.tmp"; rm -f "$tmp"
    return 1
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
  # Both files or neither: a failure to write one takes the other away again.
  local file text
  for file in list sources; do
    if [ "$file" = list ]; then text="$one_line"; else text="$deb822"; fi
    [ -n "$text" ] || continue
    if ! install_whole "$name.$file" <<<"$text"; then
      $sudo rm -f "${added[@]}"
      fail "cannot write $name.$file; nothing was added"
    fi
    added+=("$name.$file")
  done
  echo "added deb-src entries for the machine's Debian mirror: ${added[*]}" >&2
}
added=()
if [ "$mode" = deb-src ]; then
  add_deb_src || echo "deb-src entries are there already" >&2
  exit 0
fi

# The x86-64 cross compiler with POSIX threads (std::thread and friends), Wine to run the
# result, and what `apt-get source` and the builds of SQLite's sqlite3.c (its configure runs
# `file`) and of libcurl need on the host.
packages=(g++-mingw-w64-x86-64-posix wine64 googletest tcl dpkg-dev gcc make file cmake ninja-build)
# Qt's own build runs the host's moc, rcc and uic and its perl and CMake scripts; the window tests
# measure DejaVu fonts; the programs run on a virtual display, which is pictured; NSIS makes the
# installer.
[ "$with_qt" -eq 0 ] || packages+=(qt6-base-dev qt6-base-dev-tools perl fonts-dejavu-core
                                   xvfb x11-utils x11-apps netpbm nsis)
missing=()
[ "$mode" = build ] || packages=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
updated=0
if [ ${#missing[@]} -gt 0 ]; then
  apt_get update -qq || fail "apt-get update failed (see above)"
  updated=1
  apt_get install -y -qq --no-install-recommends "${missing[@]}" >&2 || fail "installing ${missing[*]} failed (see above)"
fi
if [ "$mode" = build ] && add_deb_src; then updated=0; fi
# The first update after deb-src entries were added tries them: when it fails they go again, so
# that apt on this machine works as before.
apt_update_once() {
  [ "$updated" -eq 1 ] && return 0
  if ! apt_get update -qq; then
    [ ${#added[@]} -eq 0 ] || { $sudo rm -f "${added[@]}"; fail "apt-get update failed with the deb-src entries added (see above); removed ${added[*]} again"; }
    fail "apt-get update failed (see above)"
  fi
  updated=1
}

# The parts of the cache, each from the Debian source package of the release this machine has
# (installed, else the one apt would install): its folder, the source package, and the binary
# package whose version that is. Each folder holds velta-source-version ("PACKAGE VERSION"); one
# without it, made by an older script, is taken to be of the machine's version.
amalgamation="$cache/sqlite-amalgamation" curl="$cache/curl-mingw" qt="$cache/qt6-mingw"
declare -A source_of=([sqlite-amalgamation]=sqlite3 [curl-mingw]=curl [qt6-mingw]=qt6-base)
declare -A binary_of=([sqlite-amalgamation]=libsqlite3-0 [curl-mingw]=libcurl4 [qt6-mingw]=qt6-base-dev)
machine_version() {  # of the part $1
  local p="${binary_of[$1]}" v
  v="$(dpkg-query -W -f='${Version}' "$p" 2>/dev/null || true)"
  [ -n "$v" ] || v="$(apt-cache policy "$p" 2>/dev/null | sed -n 's/^ *Candidate: //p')"
  [ -n "$v" ] && [ "$v" != "(none)" ] || fail "apt knows no version of $p to build ${source_of[$1]} from"
  echo "${source_of[$1]} $v"
}
# the file each part's build writes last: with it there, the part is whole
declare -A stamp_of=([sqlite-amalgamation]=sqlite3.c [curl-mingw]=velta-curl-complete [qt6-mingw]=velta-qt-complete)
complete() { [ -f "$cache/$1/${stamp_of[$1]}" ]; }
version_of() {  # the source package and version the built part $1 came from
  if [ -f "$cache/$1/velta-source-version" ]; then cat "$cache/$1/velta-source-version"; else machine_version "$1"; fi
}
# fetches the source of the part $1 into $2 and prints its folder
fetch_source() {
  local line package version tree
  line="$(machine_version "$1")"; package="${line%% *}"; version="${line#* }"
  apt_update_once
  rm -rf "$2"; mkdir -p "$2"
  (cd "$2" && apt-get source -qq "$package=$version" >&2) || fail "apt-get source $package=$version failed (see above)"
  tree="$(find "$2" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n1)"
  [ -n "$tree" ] || fail "apt-get source $package=$version left no source folder in $2"
  echo "$tree"
}

if [ -n "$pack" ]; then
  # The versions come first in the archive, so that a user reads them without unpacking the rest.
  parts=()
  for part in sqlite-amalgamation curl-mingw qt6-mingw; do complete "$part" && parts+=("$part"); done
  complete sqlite-amalgamation && complete curl-mingw || fail "nothing to pack: run $0 (and $0 qt) first"
  stage="$(mktemp -d)"
  for part in "${parts[@]}"; do echo "$part $(version_of "$part")"; done >"$stage/velta-windows-cache.versions"
  tar -czf "$pack.tmp" -C "$stage" velta-windows-cache.versions -C "$cache" "${parts[@]}" ||
    { rm -rf "$stage" "$pack.tmp"; fail "cannot write $pack"; }
  mv -fT "$pack.tmp" "$pack" || { rm -rf "$stage" "$pack.tmp"; fail "cannot write $pack"; }
  echo "packed into $pack:" >&2; cat "$stage/velta-windows-cache.versions" >&2
  rm -rf "$stage"
  exit 0
fi

# A part not built here is taken from an archive that "pack" made when every part it holds is
# of the machine's version; only the parts missing here are unpacked, each put in place whole.
take_from_archives() {
  local archive versions part package version wanted=() line ok
  for part in sqlite-amalgamation curl-mingw qt6-mingw; do complete "$part" || wanted+=("$part"); done
  [ ${#wanted[@]} -gt 0 ] && [ -d "$archives" ] || return 0
  for archive in "$archives"/*.tar.gz; do
    [ -f "$archive" ] || continue
    # What an archive holds is built into the programs: one that another user wrote or could swap
    # is not taken.
    if [ -n "$(find -H "$archive" "$archives" -maxdepth 0 \( -perm -o+w -o ! \( -uid 0 -o -uid "$(id -u)" \) \) -print -quit)" ]; then
      echo "$me: $archive, or its folder, belongs to another user or others may write it; not taken" >&2; continue
    fi
    versions="$(tar -xzOf "$archive" velta-windows-cache.versions 2>/dev/null)" ||
      { echo "$me: $archive holds no velta-windows-cache.versions, or is cut short; not taken" >&2; continue; }
    ok=1
    while read -r part package version; do
      [ -n "$part" ] && [ -n "${source_of[$part]:-}" ] ||
        { ok=0; echo "$me: $archive holds an unknown part \"$part\"; not taken" >&2; break; }
      line="$(machine_version "$part")"
      [ "$package $version" = "$line" ] || { ok=0; echo "$me: $archive holds $package $version, this machine has $line; not taken" >&2; break; }
    done <<<"$versions"
    [ "$ok" -eq 1 ] || continue
    local holds=()
    for part in "${wanted[@]}"; do grep -q "^$part " <<<"$versions" && holds+=("$part"); done
    [ ${#holds[@]} -gt 0 ] || continue
    local stage; stage="$(mktemp -d "$cache/unpack.XXXXXX")"
    if ! tar -xzf "$archive" -C "$stage" "${holds[@]}"; then
      rm -rf "$stage"; echo "$me: cannot unpack $archive; not taken" >&2; continue
    fi
    local whole=1 outside=""
    for part in "${holds[@]}"; do
      [ -d "$stage/$part" ] && [ ! -L "$stage/$part" ] && [ -f "$stage/$part/${stamp_of[$part]}" ] || whole=0
    done
    if [ "$whole" -eq 0 ]; then
      rm -rf "$stage"; echo "$me: $archive holds a part without its last file; not taken" >&2; continue
    fi
    # A link that leads out of its part would have the build, or the lines below, reach elsewhere.
    outside="$(find "$stage" -type l \( -lname '/*' -o -lname '..' -o -lname '../*' -o -lname '*/..' -o -lname '*/../*' \) -print -quit)"
    if [ -n "$outside" ]; then
      rm -rf "$stage"; echo "$me: $archive holds a link that leads out of its folder (${outside#"$stage/"}); not taken" >&2; continue
    fi
    for part in "${holds[@]}"; do
      rm -f "$stage/$part/velta-source-version"
      grep "^$part " <<<"$versions" | cut -d' ' -f2- >"$stage/$part/velta-source-version"
      rm -rf "${cache:?}/$part"; mv -T "$stage/$part" "$cache/$part"
      echo "took $part ($(cat "$cache/$part/velta-source-version")) from $archive" >&2
    done
    rm -rf "$stage"
    wanted=()
    for part in sqlite-amalgamation curl-mingw qt6-mingw; do complete "$part" || wanted+=("$part"); done
    [ ${#wanted[@]} -gt 0 ] || return 0
  done
}
mkdir -p "$cache"
take_from_archives
if [ "$mode" = take ]; then
  complete sqlite-amalgamation && complete curl-mingw ||
    fail "SQLite's amalgamation and libcurl are not both in $cache, and no archive in $archives brought them"
  echo "$amalgamation"
  exit 0
fi

if ! complete sqlite-amalgamation; then
  work="$cache/sqlite-source"
  rm -rf "$amalgamation"
  tree="$(fetch_source sqlite-amalgamation "$work")"
  mkdir -p "$tree/bld"
  (cd "$tree/bld" && ../configure --disable-tcl >/dev/null && nice make -s sqlite3.c >&2) ||
    fail "making SQLite's sqlite3.c in $tree/bld failed (see above)"
  # Put in place whole: a folder with a sqlite3.c counts as made.
  rm -rf "$amalgamation.tmp"; mkdir -p "$amalgamation.tmp"
  cp "$tree/bld/sqlite3.c" "$tree/bld/sqlite3.h" "$amalgamation.tmp/"
  machine_version sqlite-amalgamation >"$amalgamation.tmp/velta-source-version"
  mv -T "$amalgamation.tmp" "$amalgamation"
  rm -rf "$work"
fi

# libcurl for Dormix's warnings, from Debian's curl source package: a static library with SMTP
# and SMTPS and Schannel, the TLS of Windows itself, so that no OpenSSL is shipped and the
# server's certificate is checked against the system's store. HTTP stays in: Debian's fix of
# CVE-2023-38039 has every protocol's reading of server lines count them through http.c, and a
# libcurl without HTTP does not link. No CA bundle is built in (the host's would name a Linux
# file); SMTPCAFILE names one per connection.
# It takes from about ten to thirty minutes on two cores, so it is built when asked for ("curl", or
# "qt", which needs it too) and otherwise only taken from an archive.
if [ "$with_curl" -eq 1 ] && ! complete curl-mingw; then
  work="$cache/curl-source" build="$cache/curl-build" log="$cache/curl-build.log"
  rm -rf "$curl" "$build"
  tree="$(fetch_source curl-mingw "$work")"
  echo "building $(machine_version curl-mingw) for Windows; the log: $log" >&2
  start=$SECONDS
  disabled=()
  for protocol in DICT FILE FTP GOPHER IMAP LDAP LDAPS MQTT POP3 RTSP SMB TELNET TFTP; do
    disabled+=("-DCURL_DISABLE_$protocol=ON")
  done
  if ! (cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
          -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$curl" \
          -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF \
          -DPICKY_COMPILER=OFF -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_LIBSSH2=OFF \
          -DCURL_USE_LIBPSL=OFF -DUSE_LIBIDN2=OFF -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF \
          -DENABLE_UNIX_SOCKETS=OFF -DCURL_DISABLE_PROXY=ON -DCURL_DISABLE_COOKIES=ON \
          -DCURL_DISABLE_ALTSVC=ON -DCURL_DISABLE_HSTS=ON -DCURL_DISABLE_DOH=ON -DCURL_DISABLE_NETRC=ON \
          -DCURL_DISABLE_MIME=ON -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none -DCURL_CA_FALLBACK=OFF \
          "${disabled[@]}" &&
        cmake --build "$build" --parallel "${VELTA_JOBS:-$(nproc)}" && cmake --install "$build") >"$log" 2>&1
  then
    tail -n 30 "$log" >&2
    fail "the libcurl build failed; the log: $log"
  fi
  grep -q '^-- Enabled protocols: HTTP HTTPS SMTP SMTPS$' "$log" && grep -q '^-- Enabled SSL backends: Schannel$' "$log" ||
    fail "libcurl was configured with other protocols or TLS than SMTP, SMTPS (and HTTP) and Schannel; the log: $log"
  echo "libcurl built in $(( SECONDS - start )) seconds" >&2
  machine_version curl-mingw >"$curl/velta-source-version"
  touch "$curl/velta-curl-complete"
  rm -rf "$work" "$build"
fi
echo "$amalgamation"
[ "$with_qt" -eq 1 ] || exit 0

# Qt for Windows, from the source package of the very Qt release the host's tools come from.
# Only what the two programs and their tests load: Core, Gui, Widgets and Test, the "windows"
# and "offscreen" platforms, the PNG (built into Gui), JPEG and GIF readers; zlib, libpng,
# libjpeg, FreeType and HarfBuzz are Qt's bundled copies. Debian's source leaves out the WinTab
# header, so tablet events are off. A build cut short goes on where it stopped when this runs
# again (delete qt6-build in the cache to start afresh); the stamp file is written last.
if ! complete qt6-mingw; then
  work="$cache/qt6-source" build="$cache/qt6-build" log="$cache/qt6-build.log"
  if [ ! -f "$build/build.ninja" ]; then
    rm -rf "$build" "$qt"; mkdir -p "$build"
    tree="$(fetch_source qt6-mingw "$work")"
    echo "configuring $(machine_version qt6-mingw) for Windows; the log: $log" >&2
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
  machine_version qt6-mingw >"$qt/velta-source-version"
  touch "$qt/velta-qt-complete"
  rm -rf "$work" "$build"
fi
echo "$qt"
