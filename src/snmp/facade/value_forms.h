// How a response value leaves the get-data object: as an integer or as text
// in the caller's fixed buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "result_codes.h"
#include "snmp/smi/smi_value.h"

namespace orv::facade {

// Copies at most `capacity - 1` bytes of `text` (`length` bytes, which may
// hold no terminator) into `out` and terminates it; an empty text writes
// the empty string. Nothing is written when `capacity` is 0.
void copy_value_text(char* out, size_t capacity, const char* text, uint32_t length);

// The value's text form copied into `out` (`capacity` bytes).
Result write_value_text(const IQelSmiValue* value, char* out, size_t capacity);

// Whether the value stands for an object the agent lacks: the NULL that
// SNMPv1's noSuchName echoes, or an SNMPv2c exception (noSuchObject,
// noSuchInstance, endOfMibView).
bool value_is_absent(const IQelSmiValue* value);

// The number a value stands for: INTEGER as it is, the unsigned 32-bit
// kinds (Counter32, Gauge32, TimeTicks) as their bits; every other kind,
// NULL of an SNMPv1 noSuchName echo included, answers -1 ("absent").
int32_t value_as_int32(const IQelSmiValue* value);

}  // namespace orv::facade
