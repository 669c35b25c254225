// Reads the option keys of an opened, refreshed printer into a JSON object,
// keeping each value's type.
#pragma once

#include <orv/orv.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace orvctl {

enum class KeyType { kBoolean, kInteger, kText };

struct OptionKey {
  const char* key;
  KeyType type;
};

// The printer-wide keys, in the order people read them.
const std::vector<OptionKey>& printer_option_keys();

// One input tray as the library reports it, `index` 0-based.
struct InputTray {
  int32_t row = 0;  // the printer's row number, from 1
  std::string name;
  std::string description;
  int32_t type = 0;
  int32_t media_size = 0;
  int32_t direction = 0;
  int32_t feed_dimension = 0;
  int32_t cross_feed_dimension = 0;
  int32_t max_capacity = 0;   // -1 when the tray does not count in sheets
  int32_t level_percent = 0;  // -1 when unknown
  std::string media_type;
};

// Each call returns 0 or the first failing getter's code; `failed_key`
// receives that key.
int32_t read_option(OrvHandle handle, const OptionKey& key, uint16_t index, nlohmann::json& out);
int32_t read_printer_options(OrvHandle handle, nlohmann::json& out, std::string& failed_key);
int32_t read_input_trays(OrvHandle handle, std::vector<InputTray>& out, std::string& failed_key);

}  // namespace orvctl
