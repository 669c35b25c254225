// Decimal forms of the number kinds, without printf on the hot paths.
#pragma once

#include <cstdint>

namespace orv::smi {

inline constexpr uint32_t kMaxDecimalU32 = 10;  // digits of 4294967295
inline constexpr uint32_t kMaxDecimalI32 = 11;  // sign and digits of -2147483648
inline constexpr uint32_t kMaxDecimalU64 = 20;

// Each writes the digits (no terminator) and returns their count.
uint32_t format_u32(uint32_t value, char* out);
uint32_t format_i32(int32_t value, char* out);
uint32_t format_u64(uint64_t value, char* out);

// The C library's decimal conversion (leading blanks and a sign allowed,
// not a number gives 0), kept in its low 32 bits as the number kinds store
// it: "4294967295" and "-1" both give all bits set.
uint32_t decimal_text_to_bits32(const char* text);
// Unsigned 64-bit decimal conversion for Counter64; not a number gives 0.
uint64_t decimal_text_to_u64(const char* text);

}  // namespace orv::smi
