#!/usr/bin/env bash
# CPU instructions per message of our codec and Net-SNMP's, counted by
# callgrind around each measured loop only (instruction counts repeat
# exactly, unlike times on a shared machine).
#   bench/callgrind_codec.sh [BUILD_DIR] [MESSAGES]
set -euo pipefail
build=${1:-build}
messages=${2:-2000}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$out/cg" \
  "$build/bench/codec_bench" --callgrind "$messages" >/dev/null 2>&1
declare -A ir
for f in "$out"/cg.*; do
  name=$(sed -n 's/^desc: Trigger: Client Request: //p' "$f")
  ir[$name]=$(sed -n 's/^totals: //p' "$f")
done
printf '%-20s %14s\n' case "instr/message"
for op in encode decode; do
  for n in 1 20; do
    for who in ours netsnmp; do
      printf '%-20s %14d\n' "$op/$who/$n" $(( ${ir[$op/$who/$n]} / messages ))
    done
  done
done
echo "ratio (Net-SNMP instructions / ours, higher is better for ours):"
for op in encode decode; do
  for n in 1 20; do
    awk -v a="${ir[$op/netsnmp/$n]}" -v b="${ir[$op/ours/$n]}" -v c="$op $n" \
      'BEGIN { printf "  %-10s %.2fx\n", c, a / b }'
  done
done
