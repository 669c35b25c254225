// Small pieces of the fleet page's HTML: escaping, links, times, the
// colours of colorants and states. Pure functions.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace orv_exporter {

// Text for HTML content and attribute values (& < > " ' escaped).
std::string html_escape(std::string_view text);
// A query value: every byte but the unreserved ones as %XX.
std::string url_encode(std::string_view text);
// "2026-12-08 16:20:01 UTC".
std::string utc_text(std::chrono::system_clock::time_point at);
// A CSS colour for a colorant name ("cyan", "Magenta", "black", "photo
// black", ...); a neutral grey for one it does not know or an empty one.
const char* colorant_css(std::string_view colorant);

// How a state looks: its words, its CSS class (colour) and whether it needs
// a person.
struct StateLook {
  std::string words;
  const char* css_class;
};
// The overall state (ORV_PRINTER_STATE_*) with the conditions' names after
// a warning or down state ("Warning: lowToner").
StateLook state_look(int32_t state, uint32_t conditions);

}  // namespace orv_exporter
