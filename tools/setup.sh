#!/usr/bin/env bash
# Installs the Debian packages that a task needs, without the recommended extras. Safe to run
# again: it installs only what is missing.
#   tools/setup.sh [demo|test|bench|package]...   (default: test)
set -euo pipefail
# The two programs and the demo maker; for the demo, the tests and the benchmark also the local
# mail server that takes Dormix's warnings.
programs=(g++ cmake ninja-build qt6-base-dev libgl-dev libsqlite3-dev libcurl4-openssl-dev fonts-dejavu-core)
demo=("${programs[@]}" python3-aiosmtpd)
# The tests, the fuzz targets (clang and libFuzzer), the install check, and the certificate that
# the mail server's STARTTLS test makes.
test=("${demo[@]}" libgtest-dev libgmock-dev clang libclang-rt-dev desktop-file-utils appstream openssl)
bench=("${demo[@]}" libbenchmark-dev)
# The .deb: dependencies found by dpkg-shlibdeps (which needs file), then lintian, and
# systemd-analyze for the nightly run's units.
package=("${programs[@]}" dpkg-dev file lintian desktop-file-utils appstream systemd)

packages=()
for task in "${@:-test}"; do
  case "$task" in
    demo) packages+=("${demo[@]}") ;;
    test) packages+=("${test[@]}") ;;
    bench) packages+=("${bench[@]}") ;;
    package) packages+=("${package[@]}") ;;
    *) echo "setup.sh: unknown task $task (demo, test, bench or package)" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  # Installing needs root: said before anything else, with what to install, so that a user
  # without sudo need not read "sudo: command not found".
  if [ -n "$sudo" ] && ! command -v sudo >/dev/null; then
    echo "setup.sh: installing the missing packages needs root, and sudo is not installed." >&2
    echo "Run tools/setup.sh $* as root, or install sudo as root (apt-get install sudo, then" >&2
    echo "adduser $(id -un) sudo and log in again), or have an administrator run:" >&2
    echo "  apt-get install --no-install-recommends $(printf '%s\n' "${missing[@]}" | sort -u | tr '\n' ' ')" >&2
    exit 1
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    $(printf '%s\n' "${missing[@]}" | sort -u)
fi
