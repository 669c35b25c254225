#!/bin/sh
# Usage: check_exports.sh NM LIBRARY
# Fails unless the library's dynamic symbol table defines exactly the 36 Orv*
# functions of orv.h and the extensions of orv_ext.h and, beside them, no
# C-linkage name other than qel_* factories and the SNMPv3 library's
# environment look-up, which liborv answers while that library starts.
# Mangled C++ names (_Z...) are the exported classes and are not checked here.
set -eu
nm_tool=$1
lib=$2
expected="OrvCancelJob OrvCommandInteger OrvCommandString OrvFindAddFilter OrvFindClearFilter
OrvFindDeviceSNMP OrvFindDeviceSNMPEx OrvFindResetPosition OrvGetAlertInfo OrvGetCharSet
OrvGetDeviceInfo OrvGetDeviceNext OrvGetInputTrayInfo OrvGetJobInfo OrvGetNumberOfAlertInfo
OrvGetNumberOfDeviceInfo OrvGetNumberOfInputTrayInfo OrvGetNumberOfJobInfo
OrvGetNumberOfOutputTrayInfo OrvGetNumberOfStorageInfo OrvGetNumberOfTonerInfo
OrvGetOptionValueBoolean OrvGetOptionValueInteger OrvGetOptionValueString
OrvGetOptionValueUInteger OrvGetOutputTrayInfo OrvGetPrinterInfo OrvGetStorageInfo
OrvGetTonerInfo OrvInit OrvInitDevice OrvInitDeviceEx OrvIsSupportedOID OrvRefreshOptions
OrvTransportAvailable OrvUnInit"
# orv_ext.h
extended="OrvGetJobIdentifier OrvGetNumberOfMarkerInfo OrvGetMarkerInfo OrvGetNumberOfSupplyInfo
OrvGetSupplyInfo OrvGetPrinterState OrvPrinterStateName OrvPrinterConditionName
OrvSetBulkWalk OrvGetNumberOfJobStates OrvGetSysUpTime"

names=$("$nm_tool" -D --defined-only "$lib" | awk 'NF >= 3 {print $3}' | sed 's/@.*//' | sort -u)
fail=0
for n in $expected $extended; do
  if ! printf '%s\n' "$names" | grep -qx "$n"; then
    echo "missing export: $n"
    fail=1
  fi
done
orv_count=$(printf '%s\n' "$names" | grep -c '^Orv' || true)
extended_count=$(printf '%s\n' $extended | grep -c . || true)
if [ "$orv_count" -ne $((36 + extended_count)) ]; then
  echo "expected 36 Orv* exports and $extended_count extensions, found $orv_count"
  fail=1
fi
for n in $names; do
  case "$n" in
    _Z*) ;;                 # C++ (the exported classes)
    Orv*|qel_*) ;;          # the interface and framework factories
    netsnmp_getenv) ;;      # answers the SNMPv3 library's look-ups while it starts
    *) echo "unexpected C-linkage export: $n"; fail=1 ;;
  esac
done
for n in $names; do
  case "$n" in
    Orv*) printf '%s\n' "$expected $extended" | tr ' ' '\n' | grep -qx "$n" || { echo "unknown Orv export: $n"; fail=1; } ;;
  esac
done
if [ $fail -eq 0 ]; then echo "liborv.so exports: 36 Orv* names and $extended_count extensions, no other C-linkage name beside qel_*"; fi
exit $fail
