#include "exporter_log.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <nlohmann/json.hpp>

namespace orv_exporter {
namespace {

constexpr std::array<const char*, 4> kNames = {"debug", "info", "warn", "error"};

std::atomic<LogLevel> g_level{LogLevel::kInfo};
std::mutex g_write_mutex;

std::atomic<LogFormat> g_format{LogFormat::kLogfmt};

// A value in double quotes, with quotes, backslashes and every control
// character escaped so that one line stays one entry.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto octet = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (octet < 0x20 || octet == 0x7F) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[octet >> 4];
      out += kHex[octet & 0x0F];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                static_cast<int>(ms));
  return text;
}

// One JSON object; the time stamp first when given. Bytes that are not
// UTF-8 become U+FFFD rather than losing the line.
std::string json_line(const std::string& ts, const char* level, const std::string& message,
                      const LogFields& fields) {
  nlohmann::ordered_json line = nlohmann::ordered_json::object();
  if (!ts.empty()) line["ts"] = ts;
  line["level"] = level;
  line["msg"] = message;
  for (const auto& [key, value] : fields) line[key] = value;
  return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

std::optional<LogLevel> log_level_named(const std::string& name) {
  for (size_t i = 0; i < kNames.size(); ++i) {
    if (name == kNames[i]) return static_cast<LogLevel>(i);
  }
  return std::nullopt;
}

void set_log_level(LogLevel level) { g_level = level; }

std::optional<LogFormat> log_format_named(const std::string& name) {
  if (name == "logfmt") return LogFormat::kLogfmt;
  if (name == "json") return LogFormat::kJson;
  return std::nullopt;
}

void set_log_format(LogFormat format) { g_format = format; }

std::string log_text(LogLevel level, const std::string& message, const LogFields& fields,
                     LogFormat format) {
  const char* level_name = kNames[static_cast<size_t>(level)];
  if (format == LogFormat::kJson) return json_line({}, level_name, message, fields);
  std::string line = std::string("level=") + level_name + " msg=" + quoted(message);
  for (const auto& [key, value] : fields) line += " " + key + "=" + quoted(value);
  return line;
}

void log(LogLevel level, const std::string& message, const LogFields& fields) {
  if (level < g_level.load()) return;
  std::string line =
      g_format.load() == LogFormat::kJson
          ? json_line(timestamp(), kNames[static_cast<size_t>(level)], message, fields)
          : "ts=" + timestamp() + " " + log_text(level, message, fields);
  line += "\n";
  std::lock_guard lock(g_write_mutex);
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace orv_exporter
