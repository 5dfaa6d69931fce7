#!/usr/bin/env bash
# Installs a built tree into a temporary folder and checks what an administrator's system gets:
# the expected files, menu entries and AppStream metadata that validate, and both programs
# starting from the installed place on their own library search path.
#   tools/install-check.sh BUILD-FOLDER VERSION
set -euo pipefail
build="$1"
version="$2"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
prefix="$root/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null

failed=0
fail() { echo "FAIL: $*"; failed=1; }

for program in marqueta dormix; do
  id="org.marquetadormix.${program^}"
  for file in "bin/$program" "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
              "share/man/man1/$program.1.gz" "share/icons/hicolor/scalable/apps/$program.svg"; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
  done
  desktop="$prefix/share/applications/$id.desktop"
  desktop-file-validate "$desktop" || fail "$desktop does not validate"
  grep -qx "Exec=$program" "$desktop" || fail "$desktop does not start $program"
  grep -qx "Icon=$program" "$desktop" || fail "$desktop does not show the $program icon"
  appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "$id.metainfo.xml does not validate: $(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml")"
  zcat "$prefix/share/man/man1/$program.1.gz" | grep -q "^\.TH ${program^^} 1 .* $version\"" ||
    fail "$program.1 does not carry the version $version"
  said="$(env -u LD_LIBRARY_PATH "$prefix/bin/$program" --version 2>&1)" || fail "$program --version failed: $said"
  [[ "$said" == *" $version" ]] || fail "$program --version said '$said', not version $version"
  env -u LD_LIBRARY_PATH "$prefix/bin/$program" --help | grep -q "^Usage: .*/$program \\[options\\]" || fail "$program --help shows no usage"
done
for file in share/icons/hicolor/32x32/apps/marqueta.png share/icons/hicolor/48x48/apps/dormix.png \
            share/doc/marqueta-dormix/copyright share/doc/marqueta-dormix/changelog.gz; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
# The nightly run: its units and settings in place, the units valid, none of them enabled.
[ -f "$prefix/etc/default/dormix" ] || fail "etc/default/dormix is not installed"
"$(dirname "$0")/verify-units.sh" "$prefix/lib/systemd/system" "$prefix/bin/dormix" || fail "the nightly run's units"
[ -z "$(find "$root" -name '*.wants')" ] || fail "a unit of the nightly run is enabled on installation"
# Dormix loads the Acctkit stand-in from the installed tree, not from the build folder.
acctkit="$(env -u LD_LIBRARY_PATH ldd "$prefix/bin/dormix" | awk '/libacctkit/ { print $3 }')"
[[ "$(realpath -m "$acctkit")" == "$(realpath "$prefix")"/lib*/marqueta-dormix/libacctkit.so ]] || fail "dormix loads libacctkit.so from '$acctkit'"
[ "$failed" -eq 0 ] && echo "install check: all files in place, entries valid, both programs start"
exit "$failed"
