#!/usr/bin/env bash
# The installed package's test: unpacks the .deb into a temporary root
# (dpkg -x), serves the installed simulator on COM1 and runs the installed
# console offscreen with --start-protocol, twice:
#   1. usr/bin cannot be written: the traffic log must appear as
#      $RM460_PREFIX/log.txt, with its banner and the Status frame sent;
#   2. usr/bin can be written: the log must appear beside the executable,
#      and nothing more under the prefix.
#
#   scripts/lib/package_test.sh [build-package/rm460-console_*.deb]
#
# Root passes every permission check, so as root the programs run as the
# user nobody (setpriv); another user runs them as itself, and chmod a-w on
# usr/bin is enough.
set -euo pipefail
source "$(dirname "$0")/setup.sh"

deb="${1:-$(ls "$RM460_ROOT"/build-package/rm460-console_*.deb 2>/dev/null | tail -n 1)}"
[ -f "$deb" ] || { echo "package_test: no package (run scripts/package first)" >&2; exit 2; }

work="$(mktemp -d)"
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

passes=0
failures=0
check() {
  local what="$1"
  shift
  if "$@"; then
    echo "ok: $what"
    passes=$((passes + 1))
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}

root="$work/root"
prefix="$work/prefix"
home="$work/home"
runtime="$work/runtime"
dpkg -x "$deb" "$root"
mkdir -p "$prefix" "$home" "$runtime"
chmod 700 "$runtime"
bin="$root/usr/bin"

run_as=()
if [ "$(id -u)" -eq 0 ]; then
  run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  chmod 755 "$work"
  chown nobody:nogroup "$prefix" "$home" "$runtime"
fi
as_user() {
  "${run_as[@]}" env HOME="$home" XDG_RUNTIME_DIR="$runtime" RM460_PREFIX="$prefix" "$@"
}

for f in usr/bin/rm460-console usr/bin/rm460-sim \
  usr/share/applications/rm460-console.desktop \
  usr/share/icons/hicolor/scalable/apps/rm460-console.svg \
  usr/share/metainfo/io.rm460.console.metainfo.xml \
  usr/share/man/man1/rm460-console.1.gz usr/share/man/man1/rm460-sim.1.gz \
  usr/share/doc/rm460-console/copyright; do
  check "the package holds /$f" test -f "$root/$f"
done

# The installed simulator on COM1, as the same user as the console, so the
# console may open its pseudo-terminal.
as_user "$bin/rm460-sim" --com 1 --quiet >"$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do [ -L "$prefix/dosdevices/com1" ] && break; sleep 0.1; done
check "the installed simulator links COM1" test -L "$prefix/dosdevices/com1"

run_console() {
  as_user QT_QPA_PLATFORM=offscreen timeout 30 "$bin/rm460-console" \
    --start-protocol --quit-after 3000 >>"$work/console.out" 2>&1
}
banner_and_status() {
  local log="$1"
  # The banner: a rule, the date and time, a rule; then the Status frame and
  # the simulator's answer. Every line ends in CR LF.
  head -n 3 "$log" | grep -c $'^===================\r$' | grep -qx 2 &&
    sed -n 2p "$log" | grep -qE $'^[0-9]{4}.[0-9]{2}.[0-9]{2} [0-9]{2}.[0-9]{2}.[0-9]{2}\r$' &&
    grep -qx $'Tx : 02 30 30 53 30 30 30 30 75 03 \r' "$log" &&
    grep -q '^Rx : 02 30 30 73 ' "$log"
}

echo "-- usr/bin cannot be written"
chmod a-w "$bin"
cannot_write() { ! "${run_as[@]}" test -w "$1"; }
check "usr/bin is not writable for the console's user" cannot_write "$bin"
check "the console runs and exits" run_console
check "no log beside the executable" test ! -e "$bin/log.txt"
check "the log is \$RM460_PREFIX/log.txt with banner and Status" banner_and_status "$prefix/log.txt"

echo "-- usr/bin can be written"
chmod u+w "$bin"
[ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$bin"
before="$(wc -c <"$prefix/log.txt")"
check "the console runs and exits" run_console
check "the log is beside the executable with banner and Status" banner_and_status "$bin/log.txt"
check "nothing more under the prefix" test "$(wc -c <"$prefix/log.txt")" = "$before"

if [ "$failures" -ne 0 ]; then
  echo "--- console output"
  cat "$work/console.out"
  echo "--- simulator output"
  cat "$work/sim.out"
  for log in "$prefix/log.txt" "$bin/log.txt"; do
    [ -f "$log" ] && { echo "--- $log"; cat -A "$log" | head -n 20; }
  done
fi
echo "package: $passes passed, $failures failed"
exit $((failures != 0))
