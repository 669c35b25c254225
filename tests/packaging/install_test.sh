#!/usr/bin/env bash
# Installs the Debian packages on this machine, uses them as an
# administrator and a host's author would, and purges them again.
#
#   tests/packaging/install_test.sh [BUILD_DIR]
#
# Needs root and changes the system (packages, the system user of the
# exporter): meant for throw-away CI machines, called from scripts/test.
# BUILD_DIR is handed to scripts/package (a Release build is reused).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
lab="python3 $root/tests/support/orvlab.py"
tmp=$(mktemp -d)
agent=""

fail() { echo "install test: $*" >&2; exit 1; }

# Packages dpkg still holds anything of (installed, half-installed or
# configuration files left).
installed_packages() {
  { dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' liborv0 liborv-dev orvctl orv-exporter \
      2>/dev/null || true; } | awk 'substr($2, 2, 1) != "n" {print $1}'
}
purge_all() {
  local present
  present=$(installed_packages)
  # shellcheck disable=SC2086
  [ -z "$present" ] || dpkg --purge $present >"$tmp/purge.log" 2>&1
}
cleanup() {
  [ -z "$agent" ] || $lab stop "$agent" >/dev/null 2>&1 || true
  purge_all || true
  rm -rf "$tmp"
}
trap cleanup EXIT

scripts/package "${1:-build-package}"
debs=(dist/*.deb)
purge_all
getent passwd orv-exporter >/dev/null && fail "a system user orv-exporter exists before the install"

# Every path the packages bring that is not on the system yet must be gone
# after the purge.
for deb in "${debs[@]}"; do
  dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||' | grep -v '^$'
done | sort -u | while read -r path; do
  [ -e "$path" ] || [ -L "$path" ] || echo "$path"
done >"$tmp/new-paths"
[ -s "$tmp/new-paths" ] || fail "the packages bring no new path"

echo "== dpkg -i ${debs[*]##*/}"
if ! dpkg -i "${debs[@]}" >"$tmp/install.log" 2>&1; then
  # Dependencies missing on this machine come from the distribution.
  DEBIAN_FRONTEND=noninteractive apt-get install -f -y -qq >>"$tmp/install.log" 2>&1 ||
    { cat "$tmp/install.log"; fail "dpkg -i failed"; }
fi
for deb in "${debs[@]}"; do
  name=$(dpkg-deb -f "$deb" Package)
  [ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$name")" = "ii " ] || fail "$name is not installed"
done

echo "== the example host, built with find_package(orv) against the installed packages"
if ! { cmake -S examples/host -B "$tmp/host" -DCMAKE_C_FLAGS="-Wall -Werror" &&
       cmake --build "$tmp/host"; } >"$tmp/host.log" 2>&1; then
  cat "$tmp/host.log"
  fail "example host build"
fi
ldd "$tmp/host/orv_host" | grep -Eq "liborv.so.0 => (/usr)?/lib/[^ ]*/liborv.so.0 " ||
  fail "the example host does not use the installed liborv.so.0: $(ldd "$tmp/host/orv_host")"
# pkg-config gives the same host from the installed orv.pc.
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror examples/host/host.c $(pkg-config --cflags --libs orv) \
  -o "$tmp/pc_host" || fail "the example host does not build with pkg-config's flags"
address=$($lab free-address)
agent=$($lab snmpsim start --data-dir tests/data --endpoint "$address:161" --serve printer-a:public)
"$tmp/host/orv_host" "$address" >"$tmp/host.out" 2>&1 || { cat "$tmp/host.out"; fail "orv_host $address"; }
cat "$tmp/host.out"
"$tmp/pc_host" "$address" | cmp -s - "$tmp/host.out" ||
  fail "the host built with pkg-config's flags prints otherwise"
for want in "SysName *printer-a-floor2" "MemorySizeInMByte *512" "Black Toner Cartridge *12 %" \
            "Cyan Toner Cartridge *64 %" "warning lowPaper lowToner inputTrayEmpty" \
            "marker 1 *182734 units" "Drum Cartridge *- *65 %"; do
  grep -q "$want" "$tmp/host.out" || fail "orv_host printed no line matching \"$want\""
done
$lab stop "$agent" >/dev/null
agent=""

echo "== the installed tools"
orvctl --help | grep -q discover || fail "orvctl --help lists no discover"
MANPAGER=cat MANWIDTH=80 man orvctl 2>/dev/null | grep -q discover || fail "man orvctl"
if dpkg-query -W orv-exporter >/dev/null 2>&1; then
  orv_exporter --help >"$tmp/exporter.out" 2>&1 || { cat "$tmp/exporter.out"; fail "orv_exporter --help"; }
  MANPAGER=cat MANWIDTH=80 man orv_exporter 2>/dev/null | grep -q /probe || fail "man orv_exporter"
  getent passwd orv-exporter >/dev/null || fail "no system user orv-exporter"
  [ "$(getent passwd orv-exporter | cut -d: -f3)" -lt 1000 ] || fail "orv-exporter is no system user"
  dpkg-query -W -f='${Conffiles}\n' orv-exporter | grep -q "/etc/orv/orv_exporter.yml" ||
    fail "/etc/orv/orv_exporter.yml is no conffile"
  [ "$(stat -c '%a %U:%G' /etc/orv/orv_exporter.yml)" = "640 root:orv-exporter" ] ||
    fail "/etc/orv/orv_exporter.yml is $(stat -c '%a %U:%G' /etc/orv/orv_exporter.yml)"
  promtool check rules /usr/share/orv/prometheus/orv_alerts.yml >/dev/null ||
    fail "the packaged alert rules do not load"
  if command -v systemd-analyze >/dev/null; then
    unit=/lib/systemd/system/orv_exporter.service
    systemd-analyze verify "$unit" || fail "systemd-analyze verify $unit"
    # --threshold is the exposure times ten: at most 2.0.
    systemd-analyze security --offline=yes --threshold=20 "$unit" >"$tmp/security.out" 2>&1 ||
      { cat "$tmp/security.out"; fail "the unit's exposure is above 2.0"; }
  fi
fi

echo "== dpkg --purge"
purge_all || { cat "$tmp/purge.log"; fail "dpkg --purge failed"; }
[ -z "$(installed_packages)" ] || fail "still known to dpkg: $(installed_packages)"
left=$(while read -r path; do [ -e "$path" ] || [ -L "$path" ] && echo "$path"; done <"$tmp/new-paths") || true
[ -z "$left" ] || fail "left behind after the purge: $left"
! getent passwd orv-exporter >/dev/null || fail "the system user orv-exporter is left"
! getent group orv-exporter >/dev/null || fail "the group orv-exporter is left"
[ ! -e /etc/orv ] || fail "/etc/orv is left"
! ldconfig -p | grep -q "liborv.so.0 " || fail "the loader's cache still lists liborv.so.0"
echo "install test passed: $(wc -l <"$tmp/new-paths") paths installed and removed"
