#!/usr/bin/env bash
# A fleet on one machine: PRINTERS simulated printers (the light agent
# serving tests/data), one orv_exporter and a real Prometheus that finds
# them through /discover and scrapes each every INTERVAL for MINUTES.
# Prints the figures of bench/README.md's fleet section at the end.
#
#   bench/fleet/fleet_run.sh BUILD_DIR [PRINTERS [MINUTES [INTERVAL_S]]]
#
# Everything runs in a network namespace of its own (the discovery's
# broadcast stays there): a veth link holds 198.18.0.1/22 and one
# address per printer from 198.18.0.10. Root only; a lab script, not part
# of scripts/test. Removes what it started when it ends, also on Ctrl-C.
set -euo pipefail
build=${1:?usage: fleet_run.sh BUILD_DIR [PRINTERS [MINUTES [INTERVAL_S]]]}
printers=${2:-1000}
minutes=${3:-10}
interval=${4:-60}
src=$(cd "$(dirname "$0")/../.." && pwd)
agent=$build/lab/light_agent
exporter=$build/tools/orv_exporter/orv_exporter
for f in "$agent" "$exporter"; do [ -x "$f" ] || { echo "missing $f"; exit 1; }; done
[ "$printers" -le 1000 ] || { echo "at most 1000 printers (one /22)"; exit 1; }

ns=orvfleet$$
work=$(mktemp -d /tmp/orv-fleet.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  ip netns del "$ns" 2>/dev/null || true
  if [ -n "${ORV_FLEET_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT INT TERM
in_ns() { ip netns exec "$ns" "$@"; }

ip netns add "$ns"
ip -n "$ns" link set lo up
ip -n "$ns" link add fl0 type veth peer name fl1
ip -n "$ns" link set fl1 up
ip -n "$ns" link set fl0 up
ip -n "$ns" addr add 198.18.0.1/22 broadcast 198.18.3.255 dev fl0
python3 - "$printers" > "$work/addresses" <<'PY'
import ipaddress, sys
first = ipaddress.IPv4Address("198.18.0.10")
for k in range(int(sys.argv[1])):
    print(f"address add {first + k}/32 dev fl0")
PY
ip -n "$ns" -batch "$work/addresses"

ip netns exec "$ns" "$agent" --data-dir "$src/tests/data" --range 198.18.0.10 "$printers" \
  --files printer-a,printer-b --broadcast > "$work/agent.log" 2>&1 &
pids+=($!)
cat > "$work/orv_exporter.yml" <<YML
auths:
  public:
    version: 2c
    community: public
probe:
  timeout: 10s
  retries: 1
discovery:
  interval: 1m
  timeout: 3s
  addresses: [198.18.3.255]
YML
ip netns exec "$ns" "$exporter" --config.file "$work/orv_exporter.yml" --web.listen-address 127.0.0.1:9470 \
  --log.level warn > "$work/exporter.log" 2>&1 &
exporter_pid=$!
pids+=($exporter_pid)
cat > "$work/prometheus.yml" <<YML
global:
  scrape_interval: ${interval}s
  scrape_timeout: 10s
scrape_configs:
  - job_name: printers
    metrics_path: /probe
    http_sd_configs:
      - url: http://127.0.0.1:9470/discover
        refresh_interval: 30s
    relabel_configs:
      - source_labels: [__address__]
        target_label: __param_target
      - source_labels: [__param_target]
        target_label: instance
      - target_label: __address__
        replacement: 127.0.0.1:9470
  - job_name: exporter
    static_configs:
      - targets: [127.0.0.1:9470]
YML
ip netns exec "$ns" prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/tsdb" \
  --web.listen-address=127.0.0.1:9090 --log.level=warn > "$work/prometheus.log" 2>&1 &
pids+=($!)

ticks() { awk '{print $14 + $15}' "/proc/$exporter_pid/stat"; }
rss() { awk '/VmRSS/ {print $2}' "/proc/$exporter_pid/status"; }
hz=$(getconf CLK_TCK)
start_ticks=$(ticks)
start=$(date +%s)
peak=0
echo "fleet of $printers printers, scraped every ${interval}s for $minutes min (namespace $ns)"
while [ $(( $(date +%s) - start )) -lt $(( minutes * 60 )) ]; do
  sleep 10
  kill -0 "$exporter_pid" 2>/dev/null || { echo "the exporter ended"; tail "$work/exporter.log"; exit 1; }
  r=$(rss); [ "$r" -gt "$peak" ] && peak=$r
  echo "  $(( $(date +%s) - start ))s: exporter CPU $(( ($(ticks) - start_ticks) / hz ))s, RSS ${r} kB"
done
elapsed=$(( $(date +%s) - start ))
cpu_s=$(python3 -c "print(($(ticks) - $start_ticks) / $hz)")
query() { in_ns curl -s --get --data-urlencode "query=$1" http://127.0.0.1:9090/api/v1/query; }
range=$(( minutes * 60 ))s
query "up{job=\"printers\"}[$range]" > "$work/up.json"
query "scrape_duration_seconds{job=\"printers\"}[$range]" > "$work/duration.json"
query "orv_up[$range]" > "$work/orv_up.json"
python3 - "$work" "$printers" "$elapsed" "$cpu_s" "$peak" "$(rss)" <<'PY'
import json, sys
work, printers, elapsed, cpu, peak, rss = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4]), int(sys.argv[5]), int(sys.argv[6])
def samples(name):
    data = json.load(open(f"{work}/{name}.json"))["data"]["result"]
    return data, [float(v) for series in data for _, v in series["values"]]
up_series, up = samples("up")
_, orv_up = samples("orv_up")
_, durations = samples("duration")
durations.sort()
def pct(p):
    return durations[min(len(durations) - 1, int(p / 100 * len(durations)))] * 1000 if durations else float("nan")
print(f"targets discovered: {len(up_series)} of {printers}")
print(f"scrapes: {len(up)}, succeeded (up=1): {sum(up):.0f} ({100 * sum(up) / max(1, len(up)):.2f} %), "
      f"printer answered (orv_up=1): {sum(orv_up):.0f} of {len(orv_up)}")
print(f"scrape time ms: p50 {pct(50):.1f}, p90 {pct(90):.1f}, p99 {pct(99):.1f}, max {pct(100):.1f}")
print(f"exporter CPU: {cpu:.1f} s in {elapsed:.0f} s ({100 * cpu / elapsed:.2f} % of one core), "
      f"{1000 * cpu / max(1, len(up)):.2f} ms per scrape; RSS {rss} kB (peak {peak} kB)")
PY
