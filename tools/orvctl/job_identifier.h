// Job identifiers as orvctl shows and takes them: printable ASCII as it is,
// anything else as "hex:" and two lower-case hex digits per octet
// ("hex:4a4f42e9"). A printable identifier that itself begins with "hex:" is
// shown in hex as well, so that every shown form reads back to one job.
#pragma once

#include <string>

namespace orvctl {

std::string job_id_text(const std::string& octets);

// The octets a shown identifier stands for; false for a "hex:" form that
// is not an even number of hex digits or holds a zero octet.
bool job_id_octets(const std::string& text, std::string* octets);

}  // namespace orvctl
