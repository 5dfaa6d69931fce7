#!/usr/bin/env bash
# Checks the nightly run's systemd units of an installed tree with systemd-analyze verify, the
# program the service starts taken from that tree; skipped, with a message, where
# systemd-analyze is missing or cannot verify even a plain unit (as in some containers).
#   tools/verify-units.sh UNIT-FOLDER PROGRAM
set -euo pipefail
units="$1"
program="$2"
if ! command -v systemd-analyze >/dev/null; then
  echo "units not verified: systemd-analyze is not installed"
  exit 0
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '[Unit]\nDescription=plain\n\n[Service]\nType=oneshot\nExecStart=/bin/true\n' >"$work/plain.service"
if ! systemd-analyze verify --man=no "$work/plain.service" >/dev/null 2>&1; then
  echo "units not verified: systemd-analyze cannot verify units here"
  exit 0
fi
for unit in dormix.service dormix.timer; do
  [ -f "$units/$unit" ] || { echo "FAIL: $unit is not installed in $units"; exit 1; }
  sed "s|/usr/bin/dormix|$program|" "$units/$unit" >"$work/$unit"
done
# The timer's service is verified beside it; warnings count as failures.
said="$(cd "$work" && systemd-analyze verify --man=no dormix.service dormix.timer 2>&1)" || {
  echo "FAIL: the units do not verify: $said"; exit 1; }
[ -z "$said" ] || { echo "FAIL: systemd-analyze warns: $said"; exit 1; }
grep -qx 'ExecStart=/usr/bin/dormix --days=${DORMIX_DAYS} --tervox=${DORMIX_TERVOX} --yes --quiet' "$units/dormix.service" ||
  { echo "FAIL: dormix.service does not start a quiet deleting run"; exit 1; }
# Past the hour after midnight, in which daylight saving time makes every account a day younger.
grep -qx 'OnCalendar=\*-\*-\* 03:00:00' "$units/dormix.timer" || { echo "FAIL: dormix.timer does not run at 03:00"; exit 1; }
echo "units verified: dormix.service, dormix.timer"
