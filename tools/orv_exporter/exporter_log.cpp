#include "exporter_log.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace orv_exporter {
namespace {

constexpr std::array<const char*, 4> kNames = {"debug", "info", "warn", "error"};

std::atomic<LogLevel> g_level{LogLevel::kInfo};
std::mutex g_write_mutex;

// A value in double quotes, with quotes, backslashes and line breaks escaped
// so that one line stays one entry.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
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

}  // namespace

std::optional<LogLevel> log_level_named(const std::string& name) {
  for (size_t i = 0; i < kNames.size(); ++i) {
    if (name == kNames[i]) return static_cast<LogLevel>(i);
  }
  return std::nullopt;
}

void set_log_level(LogLevel level) { g_level = level; }

std::string log_text(LogLevel level, const std::string& message, const LogFields& fields) {
  std::string line =
      std::string("level=") + kNames[static_cast<size_t>(level)] + " msg=" + quoted(message);
  for (const auto& [key, value] : fields) line += " " + key + "=" + quoted(value);
  return line;
}

void log(LogLevel level, const std::string& message, const LogFields& fields) {
  if (level < g_level.load()) return;
  const std::string line = "ts=" + timestamp() + " " + log_text(level, message, fields) + "\n";
  std::lock_guard lock(g_write_mutex);
  std::fputs(line.c_str(), stderr);
}

}  // namespace orv_exporter
