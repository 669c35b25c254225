#include "fleet_html.h"

#include <orv/orv_ext.h>

#include <cctype>
#include <ctime>

#include "status_names.h"

namespace orv_exporter {
namespace {

struct ColorantColour {
  const char* name;
  const char* css;
};

// Longer names first, so "light cyan" is not taken for "cyan".
constexpr ColorantColour kColorants[] = {
    {"light cyan", "#7fd3f0"}, {"light magenta", "#f08cc8"}, {"light black", "#777777"},
    {"cyan", "#0096d6"},       {"magenta", "#d0127f"},       {"yellow", "#f5c400"},
    {"black", "#1a1a1a"},      {"red", "#d42020"},           {"green", "#1c9a3a"},
    {"blue", "#2050c8"},       {"orange", "#f07c00"},        {"violet", "#7a3fb0"},
    {"gray", "#8c8c8c"},       {"grey", "#8c8c8c"}};
constexpr const char* kNeutral = "#a0a4a8";

std::string lowercase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string condition_words(uint32_t conditions) {
  std::string words;
  for (size_t bit = 0; bit < ORV_PRINTER_CONDITION_COUNT; ++bit) {
    if ((conditions & (1u << bit)) == 0) continue;
    words += (words.empty() ? "" : ", ") + orvctl::error_state_bit_name(bit);
  }
  return words;
}

}  // namespace

std::string html_escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const char* entity = c == '&'    ? "&amp;"
                         : c == '<'  ? "&lt;"
                         : c == '>'  ? "&gt;"
                         : c == '"'  ? "&quot;"
                         : c == '\'' ? "&#39;"
                                     : nullptr;
    if (entity != nullptr) {
      out += entity;
    } else {
      out += c;
    }
  }
  return out;
}

std::string url_encode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) != 0 || c == '-' || c == '.' || c == '_' || c == '~') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

std::string utc_text(std::chrono::system_clock::time_point at) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(at);
  std::tm parts{};
  gmtime_r(&seconds, &parts);
  char text[32];
  const size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
  return std::string(text, n);
}

const char* colorant_css(std::string_view colorant) {
  const std::string name = lowercase(colorant);
  for (const ColorantColour& c : kColorants) {
    if (name.find(c.name) != std::string::npos) return c.css;
  }
  return kNeutral;
}

StateLook state_look(int32_t state, uint32_t conditions) {
  const std::string why = condition_words(conditions);
  switch (state) {
    case ORV_PRINTER_STATE_IDLE:
      return {"Idle", "ok"};
    case ORV_PRINTER_STATE_PRINTING:
      return {"Printing", "busy"};
    case ORV_PRINTER_STATE_WARMING_UP:
      return {"Warming up", "busy"};
    case ORV_PRINTER_STATE_WARNING:
      return {why.empty() ? "Warning" : "Warning: " + why, "warn"};
    case ORV_PRINTER_STATE_DOWN:
      return {why.empty() ? "Down" : "Down: " + why, "bad"};
    case ORV_PRINTER_STATE_OFFLINE:
      return {"Offline", "off"};
    case ORV_PRINTER_STATE_TESTING:
      return {"Testing", "busy"};
    default:
      return {"State unknown", "off"};
  }
}

}  // namespace orv_exporter
