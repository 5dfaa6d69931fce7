#!/usr/bin/env bash
# Builds both programs, makes the demo installation in ./demo (once) and starts one of them on it.
#   tools/demo.sh           Marqueta, the banner catalogue editor
#   tools/demo.sh dormix    Dormix, the dormant-account remover
#   tools/demo.sh dormix --days 30    Dormix without a window (any of its arguments)
#   tools/demo.sh dormix-mail [--days 30 ...]   Dormix warning by mail first: a local mail server
#                           (the tests' one) takes the warnings and keeps them in demo/mail/*.eml
set -euo pipefail
cd "$(dirname "$0")/.."
# A window needs a display: said now, not after the build. Dormix with arguments needs none.
case "${1:-marqueta}" in dormix | dormix-mail) window=$(( $# <= 1 )) ;; *) window=1 ;; esac
if [ "$window" = 1 ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "demo.sh: there is no display (DISPLAY and WAYLAND_DISPLAY are not set), and this opens a window." >&2
  echo "Run it on a virtual display: xvfb-run -a tools/demo.sh${*:+ $*} (apt-get install xvfb)," >&2
  echo "or, for what needs no window: QT_QPA_PLATFORM=offscreen tools/demo.sh dormix --days 30" >&2
  exit 1
fi
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
  dormix-mail)
    shift
    mkdir -p "$demo/mail"
    rm -f "$demo/mail/port"
    /usr/bin/python3 tools/smtp_sink.py "$demo/mail" >"$demo/mail/port" &
    server=$!
    trap 'kill "$server" 2>/dev/null || true' EXIT
    for _ in $(seq 100); do [ -s "$demo/mail/port" ] && break; sleep 0.1; done
    port="$(cat "$demo/mail/port")"
    [ -n "$port" ] || { echo "demo.sh: the mail server did not start (tools/setup.sh demo installs it)" >&2; exit 1; }
    echo "Mail server on 127.0.0.1:$port; the warnings it takes go to $demo/mail" >&2
    build/bin/make-demo --mail "$demo" "$port"
    export WINDIR="$demo/mail/windows"
    build/bin/dormix "$@" ;;
  *) exec build/bin/marqueta ;;
esac
