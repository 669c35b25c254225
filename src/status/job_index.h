// The pure parts of the job table: identifiers carried in row indexes
// (101, the length, one arc per character), the first index arc of a
// column's instance, and DateAndTime octets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "orv/orv.h"

namespace orv::status {

// At most this many characters of an identifier are read from an index.
inline constexpr size_t kJobIdOctets = 8;
// The arc that opens every job index.
inline constexpr uint32_t kJobIndexGroup = 101;

// The identifier of a job index text ("101.4.74.79.66.49"): the arcs after
// the first two, at most kJobIdOctets of them, as characters into `out`
// (terminated; `size` >= kJobIdOctets + 1). -2 when the text has fewer than
// two arcs or is no dotted number list, -401 for an arc above 255.
int32_t decode_job_id(const char* index_text, char* out, size_t size);

// Whether `index_text` has the identifier form: 101, the length, then that
// many arcs.
bool is_job_index(const char* index_text);

// The most characters of an identifier kept whole.
inline constexpr size_t kJobIdMaxOctets = 255;

// The whole identifier of a job index text: the arcs after the first two,
// at most kJobIdMaxOctets of them, as octets into `id`; -2 and -401 as
// decode_job_id().
int32_t decode_job_identifier(const char* index_text, std::string* id);

// The index text of `job_id` ("101.<length>.<codes>") into `out`; -2 when
// it would not fit in `size` bytes.
int32_t job_id_suffix(const char* job_id, char* out, size_t size);

// The index part of `oid_text` (what follows `column` and its dot), or
// nullptr when `oid_text` does not lie below `column`.
const char* index_after(const char* oid_text, const char* column);

// The first arc after `column` in `oid_text`, or -1 when `oid_text` does not
// lie below `column` or that arc is no 32-bit number.
int64_t first_index_arc(const char* oid_text, const char* column);

// DateAndTime: year from octets 0 and 1, then month, day, hour, minute,
// second; octets the value lacks count as 0.
OrvJobTime job_time(const uint8_t* octets, uint32_t length);

}  // namespace orv::status
