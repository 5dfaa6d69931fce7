# What each test of a setup script starts with: the script under test, a folder of its own that
# goes at the end, and check NAME CONDITION, which counts the conditions that fail.
script="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/setup-windows.sh"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
failures=0
check() {  # name, a condition in shell words
  if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1" >&2; failures=$((failures + 1)); fi
}
