#include "option_reader.h"

namespace orvctl {
namespace {

constexpr const char* kTrayCountKey = "NumberOfInputTray";

int32_t read_integer(OrvHandle handle, const char* key, uint16_t index, int32_t& out) {
  return OrvGetOptionValueInteger(handle, key, index, &out);
}

int32_t read_text(OrvHandle handle, const char* key, uint16_t index, std::string& out) {
  char buffer[ORV_OPTION_TEXT_SIZE] = {};
  const int32_t result = OrvGetOptionValueString(handle, key, index, buffer);
  if (result != ORV_OK) return result;
  buffer[sizeof buffer - 1] = '\0';  // never trust a foreign buffer to be terminated
  out = buffer;
  return ORV_OK;
}

// Reads each (key, field) pair of one tray; stops at the first failure.
template <typename Field, size_t N, typename Reader>
int32_t read_fields(OrvHandle handle, uint16_t index,
                    const std::pair<const char*, Field*> (&fields)[N], Reader read,
                    std::string& failed_key) {
  for (const auto& [key, field] : fields) {
    const int32_t result = read(handle, key, index, *field);
    if (result != ORV_OK) {
      failed_key = key;
      return result;
    }
  }
  return ORV_OK;
}

}  // namespace

const std::vector<OptionKey>& printer_option_keys() {
  static const std::vector<OptionKey> keys = {
      {"SysName", KeyType::kText},
      {"PrinterRomVersion", KeyType::kText},
      {"PrinterRomVersionMajor", KeyType::kInteger},
      {"PrinterRomVersionMinor", KeyType::kInteger},
      {"PrinterRomVersionRevision", KeyType::kInteger},
      {"MemorySizeInKByte", KeyType::kInteger},
      {"MemorySizeInMByte", KeyType::kInteger},
      {"HardDisk", KeyType::kBoolean},
      {"RamDisk", KeyType::kBoolean},
      {"DuplexModule", KeyType::kBoolean},
      {"Scanner", KeyType::kBoolean},
      {"Copier", KeyType::kBoolean},
      {"InTrayMSI", KeyType::kBoolean},
      {"InTrayEx1", KeyType::kBoolean},
      {"InTrayEx2", KeyType::kBoolean},
      {kTrayCountKey, KeyType::kInteger},
      {"NetWareSAPUnitName", KeyType::kText},
      {"MinPasswordLength", KeyType::kInteger},
      {"UserPromptSetting", KeyType::kInteger},
  };
  return keys;
}

int32_t read_option(OrvHandle handle, const OptionKey& key, uint16_t index, nlohmann::json& out) {
  switch (key.type) {
    case KeyType::kBoolean: {
      int16_t value = 0;
      const int32_t result = OrvGetOptionValueBoolean(handle, key.key, index, &value);
      if (result == ORV_OK) out = value != 0;
      return result;
    }
    case KeyType::kInteger: {
      int32_t value = 0;
      const int32_t result = read_integer(handle, key.key, index, value);
      if (result == ORV_OK) out = value;
      return result;
    }
    case KeyType::kText: {
      std::string value;
      const int32_t result = read_text(handle, key.key, index, value);
      if (result == ORV_OK) out = value;
      return result;
    }
  }
  return ORV_ERR_INVALID_ARG;
}

int32_t read_printer_options(OrvHandle handle, nlohmann::json& out, std::string& failed_key) {
  out = nlohmann::json::object();
  for (const OptionKey& key : printer_option_keys()) {
    nlohmann::json value;
    const int32_t result = read_option(handle, key, 0, value);
    if (result != ORV_OK) {
      failed_key = key.key;
      return result;
    }
    out[key.key] = value;
  }
  return ORV_OK;
}

int32_t read_input_trays(OrvHandle handle, std::vector<InputTray>& out, std::string& failed_key) {
  out.clear();
  int32_t count = 0;
  int32_t result = read_integer(handle, kTrayCountKey, 0, count);
  if (result != ORV_OK) {
    failed_key = kTrayCountKey;
    return result;
  }
  for (int32_t i = 0; i < count && i <= UINT16_MAX; ++i) {
    const auto index = static_cast<uint16_t>(i);
    InputTray tray;
    const std::pair<const char*, int32_t*> integers[] = {
        {"InputTrayIndex", &tray.row},
        {"InputTrayType", &tray.type},
        {"InputTrayMediaSize", &tray.media_size},
        {"InputTrayMediaDirection", &tray.direction},
        {"InputTrayMediaDimFeedDirChosen", &tray.feed_dimension},
        {"InputTrayMediaDimXFeedDirChosen", &tray.cross_feed_dimension},
        {"InputTrayMaxCapacityInSheets", &tray.max_capacity},
        {"InputTrayCurrentLevelInPercent", &tray.level_percent},
    };
    result = read_fields(handle, index, integers, read_integer, failed_key);
    if (result != ORV_OK) return result;
    const std::pair<const char*, std::string*> texts[] = {
        {"InputTrayName", &tray.name},
        {"InputTrayDescription", &tray.description},
        {"InputTrayMediaType", &tray.media_type},
    };
    result = read_fields(handle, index, texts, read_text, failed_key);
    if (result != ORV_OK) return result;
    out.push_back(std::move(tray));
  }
  return ORV_OK;
}

}  // namespace orvctl
