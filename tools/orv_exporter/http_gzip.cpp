#include "http_gzip.h"

#include <zlib.h>

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace orv_exporter {
namespace {

// Below this a compressed body saves less than its own header costs.
constexpr size_t kSmallestWorthIt = 256;
// deflateInit2's window bits for a gzip wrapper around a 32 kB window.
constexpr int kGzipWindowBits = 15 + 16;
constexpr int kMemoryLevel = 8;

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

bool same_letters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool accepts_gzip(const std::string& accept_encoding) {
  std::string_view rest(accept_encoding);
  while (!rest.empty()) {
    const size_t comma = rest.find(',');
    std::string_view item = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    const size_t semicolon = item.find(';');
    const std::string_view coding = trimmed(item.substr(0, semicolon));
    if (!same_letters(coding, "gzip") && coding != "*") continue;
    if (semicolon == std::string_view::npos) return true;
    const std::string_view parameter = trimmed(item.substr(semicolon + 1));
    if (parameter.size() < 2 || std::tolower(static_cast<unsigned char>(parameter[0])) != 'q' ||
        parameter[1] != '=') {
      return true;
    }
    const std::string q(parameter.substr(2));
    if (std::strtod(q.c_str(), nullptr) > 0) return true;
  }
  return false;
}

std::optional<std::string> gzip_compress(const std::string& data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits, kMemoryLevel,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    return std::nullopt;
  }
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (rc != Z_STREAM_END) return std::nullopt;
  return out;
}

Response compress_for(const HttpRequest& request, Response answer) {
  answer.headers.emplace_back("Vary", "Accept-Encoding");
  const std::optional<std::string> accepted = request.header("Accept-Encoding");
  if (!accepted || !accepts_gzip(*accepted) || answer.body.size() < kSmallestWorthIt) return answer;
  for (const auto& [name, value] : answer.headers) {
    if (same_letters(name, "Content-Encoding")) return answer;  // already encoded
  }
  std::optional<std::string> packed = gzip_compress(answer.body);
  if (!packed) return answer;
  answer.body = std::move(*packed);
  answer.headers.emplace_back("Content-Encoding", "gzip");
  return answer;
}

}  // namespace orv_exporter
