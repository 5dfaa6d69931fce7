#!/usr/bin/env bash
# Builds the Debian package marqueta-dormix_<version>_<arch>.deb in build-package/ with Debian's
# hardening flags, then checks it with lintian (errors fail, warnings are shown).
#   tools/package.sh
#   sudo apt-get install ./build-package/marqueta-dormix_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh package
build=build-package
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
# Given on every configure, since CMake reads the environment's flags only on the first; and it
# reads no CPPFLAGS, so _FORTIFY_SOURCE comes in with the compiler flags.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_C_FLAGS="$CPPFLAGS $CFLAGS" -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" -DCMAKE_SHARED_LINKER_FLAGS="$LDFLAGS" -DVELTA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --parallel "${VELTA_JOBS:-$(nproc)}"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/marqueta-dormix_*.deb)"
# Errors fail; any warning that stays is listed in the README's Installing section with its reason.
lintian --fail-on error "$deb" || { echo "lintian found errors in $deb"; exit 1; }
# The nightly run's units as the package ships them, and its settings kept as a conffile.
unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
tools/verify-units.sh "$unpacked/usr/lib/systemd/system" "$unpacked/usr/bin/dormix"
dpkg-deb -I "$deb" conffiles | grep -qx /etc/default/dormix || { echo "/etc/default/dormix is no conffile of $deb"; exit 1; }
# Installed into a scratch root (as root only): a timer enabled there loses its link on purge.
if [ "$(id -u)" = 0 ]; then
  root="$unpacked/root"
  mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" && touch "$root/var/lib/dpkg/status"
  said="$(dpkg --root="$root" --force-depends --force-script-chrootless -i "$deb" 2>&1)" || { echo "$said"; exit 1; }
  link="$root/etc/systemd/system/timers.target.wants/dormix.timer"
  mkdir -p "$(dirname "$link")" && ln -s /usr/lib/systemd/system/dormix.timer "$link"
  said="$(dpkg --root="$root" --force-script-chrootless --purge marqueta-dormix 2>&1)" || { echo "$said"; exit 1; }
  [ ! -L "$link" ] || { echo "a purge of $deb leaves the enabled timer's link"; exit 1; }
fi
echo "$deb"
