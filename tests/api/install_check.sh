#!/bin/sh
# Usage: install_check.sh CMAKE BUILD_DIR HOST_SOURCE CC CXX [EXTRA_FLAGS]
# Installs the build into a temporary prefix, asks pkg-config for orv's flags
# there, and builds and runs a C99 host and a C++ host (the exported option
# classes) with exactly those flags.
set -eu
cmake_tool=$1
build=$2
host_source=$3
cc=$4
cxx=$5
extra=${6:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Only the library's own component (library, headers, orv.pc), so the check
# needs no tool of the build beside liborv.so.
"$cmake_tool" --install "$build" --prefix "$tmp/prefix" --component Unspecified \
  >"$tmp/install.log"
pc=$(find "$tmp/prefix" -name orv.pc | head -n 1)
if [ -z "$pc" ]; then echo "orv.pc was not installed"; exit 1; fi
PKG_CONFIG_PATH=$(dirname "$pc")
export PKG_CONFIG_PATH
flags=$(pkg-config --cflags --libs orv)
libdir=$(pkg-config --variable=libdir orv)
includedir=$(pkg-config --variable=includedir orv)
echo "pkg-config --cflags --libs orv: $flags"
for f in "$libdir/liborv.so" "$includedir/orv/orv.h" "$includedir/orv/orv_option.hpp" \
         "$includedir/orv/qel_trap.h"; do
  if [ ! -e "$f" ]; then echo "not installed: $f"; exit 1; fi
done
# shellcheck disable=SC2086
"$cc" -std=c99 -Wall -Werror $extra "$host_source" $flags -Wl,-rpath,"$libdir" -o "$tmp/host"
"$tmp/host"

cat >"$tmp/classes.cpp" <<'CPP'
#include <cstdio>
#include "orv/orv_option.hpp"
int main() {
  COrvDevCommOption* o = new COrvHarrowOption();
  long kb = -1;
  const char* name = nullptr;
  int bad = 0;
  if (o->get_option("MemorySizeInMByte", &kb, 0) != 0 || kb != 0) bad = 1;
  if (o->get_option("InputTrayName", &name, -1) != -11) bad = 1;
  if (!o->is_supported_OID("")) bad = 1;
  COrvHarrowOption copy(*static_cast<COrvHarrowOption*>(o));
  if (copy.get_option("SysName", &name, 0) != 0 || name[0] != '\0') bad = 1;
  o->destroy();
  std::printf(bad ? "classes: FAILED\n" : "classes: exported and usable\n");
  return bad;
}
CPP
# shellcheck disable=SC2086
"$cxx" -std=c++17 -Wall -Werror $extra "$tmp/classes.cpp" $flags -Wl,-rpath,"$libdir" \
  -o "$tmp/classes"
"$tmp/classes"
echo "installed library, headers and orv.pc work for a host"
