#!/bin/sh
# Usage: install_check.sh CMAKE BUILD_DIR HOST_SOURCE EXAMPLE_DIR CC CXX [EXTRA_FLAGS]
# Installs the build into a temporary prefix, asks pkg-config for orv's flags
# there, and builds and runs a C99 host and a C++ host (the exported option
# classes) with exactly those flags; then builds the example host with
# find_package(orv) from that prefix and checks which versions it accepts.
set -eu
cmake_tool=$1
build=$2
host_source=$3
example=$4
cc=$5
cxx=$6
extra=${7:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Only the library's own components (library, headers, orv.pc, CMake
# package), so the check needs no tool of the build beside liborv.so.
for component in lib dev; do
  "$cmake_tool" --install "$build" --prefix "$tmp/prefix" --component $component \
    >>"$tmp/install.log"
done
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

# find_package(orv) from the prefix: the example host builds against orv::orv
# and runs (without arguments it prints its usage and exits with 2). The
# sanitizer flags are link flags only: clang refuses its run-time options
# when compiling.
"$cmake_tool" -S "$example" -B "$tmp/example" -DCMAKE_PREFIX_PATH="$tmp/prefix" \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_C_FLAGS="-Wall -Werror" \
  -DCMAKE_EXE_LINKER_FLAGS="$extra" >"$tmp/example.log" 2>&1 || { cat "$tmp/example.log"; exit 1; }
"$cmake_tool" --build "$tmp/example" >>"$tmp/example.log" 2>&1 || { cat "$tmp/example.log"; exit 1; }
status=0
"$tmp/example/orv_host" 2>"$tmp/usage.txt" || status=$?
if [ "$status" -ne 2 ] || ! grep -q "usage: .*ADDRESS" "$tmp/usage.txt"; then
  echo "example host: exit $status, $(cat "$tmp/usage.txt")"
  exit 1
fi

# Before 1.0 a host asking for 0.2 takes 0.2.x only.
mkdir "$tmp/version"
cat >"$tmp/version/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(version_probe LANGUAGES NONE)
find_package(orv ${ASK} QUIET)
if(NOT orv_FOUND OR NOT TARGET orv::orv)
  message(FATAL_ERROR "orv ${ASK} not found")
endif()
CMAKE
version=$(pkg-config --modversion orv)
minor=${version%.*}
for case in "$minor:found" "$version:found" "0.1:refused" "${version%%.*}.$((${minor#*.} + 1)):refused" \
            "1.0:refused"; do
  ask=${case%%:*}
  want=${case#*:}
  rm -rf "$tmp/version/build"
  if "$cmake_tool" -S "$tmp/version" -B "$tmp/version/build" -DASK="$ask" \
       -DCMAKE_PREFIX_PATH="$tmp/prefix" >/dev/null 2>&1; then got=found; else got=refused; fi
  if [ "$got" != "$want" ]; then
    echo "find_package(orv $ask): $got, expected $want (installed $version)"
    exit 1
  fi
done
echo "find_package(orv $minor) finds orv::orv; other minor and major versions are refused"

