// The get-data request objects the option store makes: configured with what
// Init recorded, every failing step logged under "Orv" at level 1.
#pragma once

#include "orv/orv_option.hpp"
#include "snmp/facade/get_data.h"

namespace orv::device {

inline constexpr const char kLogCategory[] = "Orv";

// Logs "fail <step>. result=<rc>" under "Orv" at Error level; returns rc.
long log_failed_step(const char* step, long rc);

struct OptionRequest {
  // A new get-data object; on failure logs "qel_create_get_data()".
  static long create(GetDataPtr* out);
  // The community (when one was set), then init() with the recorded
  // address, protocol, port, security settings, time-out, retries and
  // maximum message size; on failure logs "pGetData->init()".
  static long configure(const COrvDevCommOption& store, IQelGetData* request);
  // create() and configure().
  static long open(const COrvDevCommOption& store, GetDataPtr* out);
  // add_oid_string(); on failure logs "pGetData->add_oid_string()".
  static long add_oid(IQelGetData* request, const char* oid, bool instance_suffix);
  // The address and protocol code Init recorded.
  static const char* address(const COrvDevCommOption& store) { return store.m_address; }
  static int32_t protocol(const COrvDevCommOption& store) { return store.m_protocol; }
};

}  // namespace orv::device
