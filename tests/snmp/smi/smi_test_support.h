// Small helpers shared by the SMI value tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "snmp/smi/smi_factory.h"

namespace orv::test {

inline SmiValuePtr make_value(uint32_t kind) {
  Result status = -99;
  SmiValuePtr value(create_smi_value(kind, &status));
  EXPECT_EQ(status, kOk) << "kind " << kind;
  return value;
}

inline OidPtr make_oid(const char* text) {
  Result status = -99;
  OidPtr oid(create_oid_from_text(text, &status));
  EXPECT_EQ(status, kOk) << text;
  return oid;
}

// The text form, or "<error N>".
inline std::string text_of(const IQelSmiValue* value) {
  Result status = -99;
  BufferPtr text(value->to_text(&status));
  if (!text) return "<error " + std::to_string(status) + ">";
  return std::string(text->c_str(), text->length());
}

}  // namespace orv::test
