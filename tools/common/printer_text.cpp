#include "printer_text.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

namespace orvctl {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

constexpr std::array<std::pair<int32_t, const char*>, 38> kIconvNames = {{
    {3, "ASCII"},         {4, "ISO-8859-1"},    {5, "ISO-8859-2"},    {6, "ISO-8859-3"},
    {7, "ISO-8859-4"},    {8, "ISO-8859-5"},    {9, "ISO-8859-6"},    {10, "ISO-8859-7"},
    {11, "ISO-8859-8"},   {12, "ISO-8859-9"},   {13, "ISO-8859-10"},  {17, "SHIFT_JIS"},
    {18, "EUC-JP"},       {36, "EUC-KR"},       {38, "EUC-KR"},       {39, "ISO-2022-JP"},
    {106, "UTF-8"},       {109, "ISO-8859-13"}, {110, "ISO-8859-14"}, {111, "ISO-8859-15"},
    {112, "ISO-8859-16"}, {113, "GBK"},         {114, "GB18030"},     {1000, "UCS-2BE"},
    {1001, "UCS-4BE"},    {1013, "UTF-16BE"},   {1014, "UTF-16LE"},   {1015, "UTF-16"},
    {2024, "CP932"},      {2025, "EUC-CN"},     {2026, "BIG5"},       {2027, "MACINTOSH"},
    {2084, "KOI8-R"},     {2088, "KOI8-U"},     {2250, "CP1250"},     {2251, "CP1251"},
    {2252, "CP1252"},     {2253, "CP1253"},
}};

class Converter {
 public:
  explicit Converter(const char* from) : cd_(iconv_open("UTF-8", from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  std::string convert(std::string_view bytes) {
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(bytes.data());
    size_t in_left = bytes.size();
    while (in_left > 0) {
      char* to = buffer;
      size_t to_left = sizeof buffer;
      const size_t done = iconv(cd_, &in, &in_left, &to, &to_left);
      out.append(buffer, static_cast<size_t>(to - buffer));
      if (done != static_cast<size_t>(-1) || errno == E2BIG) continue;
      // EILSEQ (no such character) or EINVAL (cut short at the end): one
      // replacement for the byte, and the conversion goes on after it.
      out += kReplacement;
      ++in;
      --in_left;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

const char* iconv_charset_name(int32_t mib_enum) {
  for (const auto& [number, name] : kIconvNames) {
    if (number == mib_enum) return name;
  }
  return nullptr;
}

bool is_ascii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string printer_text_utf8(std::string_view bytes, int32_t mib_enum) {
  const char* name = iconv_charset_name(mib_enum);
  Converter converter(name != nullptr ? name : "UTF-8");
  if (!converter.ok()) {
    Converter fallback("UTF-8");
    return fallback.convert(bytes);
  }
  return converter.convert(bytes);
}

}  // namespace orvctl
