#!/usr/bin/env bash
# Builds the Windows installer marqueta-dormix-<version>-setup.exe in build-windows-gui/ with
# Debian's NSIS: Marqueta, Dormix, the Acctkit stand-in and the Qt and runtime DLLs they load,
# stripped, installed under Program Files with Start-menu entries and an uninstaller. Needs the Qt
# for Windows that "tools/setup-windows.sh qt" makes. Prints the installer's path.
# VELTA_WINDOWS_BUILD=0 packs what is built already.
set -euo pipefail
cd "$(dirname "$0")/.."
amalgamation="$(tools/setup-windows.sh)"
qt="$(dirname "$amalgamation")/qt6-mingw"
if [ ! -f "$qt/velta-qt-complete" ]; then
  echo "no Qt for Windows in $qt: run tools/setup-windows.sh qt first" >&2
  exit 1
fi
# Without libcurl the Dormix of the installer could send no warning and would keep every account
# it should warn; a Qt cache made before libcurl was part of it gets it now.
[ -f "$(dirname "$amalgamation")/curl-mingw/velta-curl-complete" ] || tools/setup-windows.sh curl >/dev/null
if ! command -v makensis >/dev/null; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends nsis >&2
fi
build=build-windows-gui
if [ "${VELTA_WINDOWS_BUILD:-1}" != 0 ]; then
  cmake --preset windows-gui -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DCURL_DIR="$(dirname "$amalgamation")/curl-mingw/lib/cmake/CURL" >/dev/null
  cmake --build "$build" --parallel "${VELTA_JOBS:-$(nproc)}" --target marqueta dormix acctkit velta_windows_runtime >&2
fi
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"

# What the two programs load, and nothing for the tests (Qt Test, the offscreen platform).
stage="$PWD/$build/installer/files"
rm -rf "$build/installer"
mkdir -p "$stage/platforms" "$stage/imageformats" "$stage/styles"
bin="$build/bin"
cp "$bin/marqueta.exe" "$bin/dormix.exe" "$bin/acctkit.dll" "$bin/Qt6Core.dll" "$bin/Qt6Gui.dll" \
   "$bin/Qt6Widgets.dll" "$bin/libstdc++-6.dll" "$bin/libgcc_s_seh-1.dll" "$bin/libwinpthread-1.dll" "$stage/"
cp "$bin/platforms/qwindows.dll" "$stage/platforms/"
cp "$bin"/imageformats/*.dll "$stage/imageformats/"
cp "$bin"/styles/*.dll "$stage/styles/"
find "$stage" -type f -exec x86_64-w64-mingw32-strip --strip-debug {} +

# The File lines and the matching Delete lines, folder by folder.
files="$PWD/$build/installer/files.nsh"
{
  echo '!macro VeltaInstallFiles'
  (cd "$stage" && find . -type f | sort) | while read -r f; do
    f="${f#./}"; folder="$(dirname "$f")"; [ "$folder" = . ] && folder="" || folder="\\${folder//\//\\}"
    echo "  SetOutPath \"\$INSTDIR$folder\""
    echo "  File \"$stage/$f\""
  done
  echo '  SetOutPath "$INSTDIR"'
  echo '!macroend'
  echo '!macro VeltaDeleteFiles'
  (cd "$stage" && find . -type f | sort) | while read -r f; do echo "  Delete \"\$INSTDIR\\${f#./}\"" | tr / '\\'; done
  (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r d; do echo "  RMDir \"\$INSTDIR\\${d#./}\"" | tr / '\\'; done
  echo '!macroend'
} >"$files"

setup="$PWD/$build/marqueta-dormix-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DFILES="$files" -DOUTFILE="$setup" packaging/windows/marqueta-dormix.nsi >&2
echo "$setup"
