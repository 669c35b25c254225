#include "job_identifier.h"

#include <charconv>

namespace orvctl {
namespace {

constexpr char kHexPrefix[] = "hex:";
constexpr size_t kHexPrefixLength = sizeof kHexPrefix - 1;

bool is_hex_form(const std::string& text) { return text.compare(0, kHexPrefixLength, kHexPrefix) == 0; }

}  // namespace

std::string job_id_text(const std::string& octets) {
  bool printable = !is_hex_form(octets);
  for (unsigned char c : octets) printable = printable && c >= 0x20 && c < 0x7F;
  if (printable) return octets;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text = kHexPrefix;
  for (unsigned char c : octets) {
    text += kDigits[c >> 4];
    text += kDigits[c & 0x0F];
  }
  return text;
}

bool job_id_octets(const std::string& text, std::string* octets) {
  if (!is_hex_form(text)) {
    *octets = text;
    return true;
  }
  const std::string digits = text.substr(kHexPrefixLength);
  if (digits.size() % 2 != 0) return false;
  octets->clear();
  for (size_t i = 0; i < digits.size(); i += 2) {
    unsigned octet = 0;
    const char* pair = digits.data() + i;
    const auto [end, error] = std::from_chars(pair, pair + 2, octet, 16);
    if (error != std::errc() || end != pair + 2 || octet == 0) return false;
    octets->push_back(static_cast<char>(octet));
  }
  return true;
}

}  // namespace orvctl
