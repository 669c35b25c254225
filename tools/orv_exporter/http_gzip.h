// Answers compressed with gzip for clients that accept it, as Prometheus
// does: the metrics text shrinks to about a fifth.
#pragma once

#include <optional>
#include <string>

#include "http_types.h"

namespace orv_exporter {

// Whether an Accept-Encoding value takes gzip (a "gzip" or "*" coding whose
// q is not 0).
bool accepts_gzip(const std::string& accept_encoding);

// The gzip member of `data` (zlib, default level); nullopt when zlib fails.
std::optional<std::string> gzip_compress(const std::string& data);

// `answer` compressed, with Content-Encoding: gzip, when `request` accepts
// gzip and the body is worth it; as it was otherwise. Vary tells caches
// the body depends on Accept-Encoding either way.
Response compress_for(const HttpRequest& request, Response answer);

}  // namespace orv_exporter
