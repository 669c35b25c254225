#!/bin/sh
# Usage: trap_host_example.sh README INCLUDE_DIR LIBRARY CC [EXTRA_FLAGS]
# Builds the README's trap host example exactly as written, runs it on a
# port of the system's choosing and sends it one SNMPv2c notification with
# Net-SNMP's snmptrap: the example must print it. Skips (77) without snmptrap.
set -eu
readme=$1
include=$2
library=$3
cc=$4
extra=${5:-}
command -v snmptrap >/dev/null || { echo "snmptrap not installed"; exit 77; }
tmp=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

awk '/<!-- trap-host-example -->/ {take = 1; next}
     take && /^```c/ {inside = 1; next}
     inside && /^```/ {exit}
     inside {print}' "$readme" >"$tmp/trap_host.c"
[ -s "$tmp/trap_host.c" ] || { echo "no example found in $readme"; exit 1; }
libdir=$(dirname "$library")
# shellcheck disable=SC2086
"$cc" -std=c99 -Wall -Werror $extra -D_DEFAULT_SOURCE -I"$include" "$tmp/trap_host.c" \
  -L"$libdir" -lorv -Wl,-rpath,"$libdir" -o "$tmp/trap_host"

"$tmp/trap_host" 0 4 >"$tmp/out" 2>&1 &
pid=$!
port=
for _ in $(seq 1 50); do
  port=$(sed -n 's/^listening on port \([0-9]*\)$/\1/p' "$tmp/out")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the example never listened:"; cat "$tmp/out"; exit 1; }
MIBS= MIBDIRS= snmptrap -v2c -c public "127.0.0.1:$port" 4242 1.3.6.1.4.1.253.8.0.5 \
  1.3.6.1.2.1.1.5.0 s hello
wait "$pid"
pid=
cat "$tmp/out"
grep -q '^1.3.6.1.4.1.253.8.0.5 from 127.0.0.1, v2c, uptime 4242$' "$tmp/out"
grep -q '^  1.3.6.1.2.1.1.5.0 = (0x04) hello$' "$tmp/out"
grep -q '^1 received, 0 dropped$' "$tmp/out"
echo "the README's trap host example receives and prints a trap"
