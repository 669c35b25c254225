#!/usr/bin/env bash
# Client-side CPU instructions per GET exchange, ours and Net-SNMP's, counted
# by callgrind inside our_exchange and netsnmp_exchange only (after one
# uncounted warm-up exchange of each). Needs root: the bench starts its own
# snmpd on port 161.
#   bench/callgrind_session.sh [BUILD_DIR] [EXCHANGES] [KEEP_PREFIX]
# KEEP_PREFIX (optional) keeps the callgrind files as PREFIX.1 and PREFIX.20
# for callgrind_annotate.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
exchanges=${2:-500}
keep=${3:-}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%-9s %12s %16s\n' bindings "ours instr" "Net-SNMP instr"
for k in 1 20; do
  # The bench finds its helper scripts relative to its own directory.
  (cd "$build/bench" && valgrind --tool=callgrind --callgrind-out-file="$out/cg.$k" \
    --toggle-collect='*our_exchange*' --toggle-collect='*netsnmp_exchange*' \
    ./session_roundtrip --callgrind "$exchanges" "$k" >/dev/null 2>&1)
  inclusive() {
    callgrind_annotate --inclusive=yes "$out/cg.$k" 2>/dev/null |
      grep -m1 "::$1(" | awk '{ gsub(",", "", $1); print $1 }'
  }
  printf '%-9s %12d %16d\n' "$k" $(( $(inclusive our_exchange) / exchanges )) \
    $(( $(inclusive netsnmp_exchange) / exchanges ))
  if [ -n "$keep" ]; then cp "$out/cg.$k" "$keep.$k"; fi
done
