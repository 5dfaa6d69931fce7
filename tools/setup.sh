#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Safe to run again: it installs
# only what is missing.
set -euo pipefail
# clang and its runtime libraries build the fuzz targets (libFuzzer).
packages=(g++ cmake ninja-build qt6-base-dev libgl-dev libsqlite3-dev sqlite3 libgtest-dev libgmock-dev
          libbenchmark-dev fonts-dejavu-core clang libclang-rt-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
