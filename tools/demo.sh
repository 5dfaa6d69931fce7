#!/usr/bin/env bash
# Builds both programs, makes the demo installation in ./demo (once) and starts one of them on it.
#   tools/demo.sh           Marqueta, the banner catalogue editor
#   tools/demo.sh dormix    Dormix, the dormant-account remover
#   tools/demo.sh dormix --days 30    Dormix without a window (any of its arguments)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh demo
cmake --preset dev >/dev/null
# Only what the demo runs: no tests. The programs find the Acctkit stand-in in build/lib by their
# own library search path.
cmake --build build --target marqueta dormix acctkit make-demo
demo="$PWD/demo"
[ -f "$demo/windows/VELTA.INI" ] || build/bin/make-demo "$demo"
export WINDIR="$demo/windows"
export ACCTKIT_DB="$demo/tervox/users.db"
case "${1:-marqueta}" in
  dormix) shift; exec build/bin/dormix "$@" ;;
  *) exec build/bin/marqueta ;;
esac
