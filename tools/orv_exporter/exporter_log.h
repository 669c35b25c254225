// The exporter's own log lines on standard error, in the logfmt form the
// ecosystem's exporters write (ts=... level=info msg="..." key=value) or
// as one JSON object a line. Every value is escaped, so that a text a
// client sent (a target with a NUL or a line break in it) stays inside
// its own line.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orv_exporter {

enum class LogLevel { kDebug, kInfo, kWarn, kError };

// "debug", "info", "warn", "error"; nullopt for another word.
std::optional<LogLevel> log_level_named(const std::string& name);

void set_log_level(LogLevel level);

enum class LogFormat { kLogfmt, kJson };

// "logfmt", "json"; nullopt for another word.
std::optional<LogFormat> log_format_named(const std::string& name);

void set_log_format(LogFormat format);

using LogFields = std::vector<std::pair<std::string, std::string>>;

// The line as written, without the time stamp and its line break:
// level=warn msg="..." k="v", or {"level":"warn","msg":"...","k":"v"}.
std::string log_text(LogLevel level, const std::string& message, const LogFields& fields,
                     LogFormat format = LogFormat::kLogfmt);

// Writes the line when `level` is at or above the set level (info at first).
void log(LogLevel level, const std::string& message, const LogFields& fields = {});

}  // namespace orv_exporter
