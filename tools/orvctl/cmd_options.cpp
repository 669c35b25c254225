// orvctl options ADDRESS: opens a printer, refreshes its options and prints
// every key with its value, the input trays as a table.
#include "media_names.h"
#include "option_reader.h"
#include "printer_command.h"
#include "printer_text.h"
#include "status_names.h"
#include "status_tables.h"

namespace orvctl {
namespace {

std::string value_text(const nlohmann::json& value) {
  if (value.is_boolean()) return value.get<bool>() ? "yes" : "no";
  if (value.is_string()) return value.get<std::string>();
  return value.dump();
}

nlohmann::json tray_json(const InputTray& tray) {
  return {
      {"index", tray.row},
      {"name", tray.name},
      {"description", tray.description},
      {"type", tray.type},
      {"type_name", input_type_name(tray.type)},
      {"media_size", tray.media_size},
      {"media_size_name", medium_size_name(tray.media_size)},
      {"direction", tray.direction},
      {"direction_name", medium_direction_name(tray.direction)},
      {"feed_dimension", tray.feed_dimension},
      {"cross_feed_dimension", tray.cross_feed_dimension},
      {"max_capacity", tray.max_capacity},
      {"level_percent", tray.level_percent},
      {"media_type", tray.media_type},
  };
}

Row tray_row(const InputTray& tray) {
  return {
      std::to_string(tray.row),
      tray.name,
      with_code(input_type_name(tray.type), tray.type),
      with_code(medium_size_name(tray.media_size), tray.media_size),
      with_code(medium_direction_name(tray.direction), tray.direction),
      tray.max_capacity < 0 ? "-" : std::to_string(tray.max_capacity),
      // The library's rounding can pass 100 (1 sheet of 1 gives 150); no
      // tray holds more than it holds. The JSON keeps the library's value.
      percent_text(tray.level_percent),
      tray.media_type,
  };
}

std::string options_text(const std::string& address, const nlohmann::json& options,
                         const std::vector<InputTray>& trays) {
  std::vector<Row> rows;
  for (const OptionKey& key : printer_option_keys()) {
    rows.push_back({key.key, value_text(options.at(key.key))});
  }
  std::vector<Row> tray_rows;
  for (const InputTray& tray : trays) tray_rows.push_back(tray_row(tray));
  return "Options of " + address + "\n\n" + format_table({"key", "value"}, rows) +
         "\nInput trays\n\n" +
         format_table({"index", "name", "type", "size", "direction", "capacity", "level",
                       "media type"},
                      tray_rows);
}

// The option texts and tray texts in UTF-8, from the printer's character set.
void convert_option_texts(OrvHandle handle, nlohmann::json& options,
                          std::vector<InputTray>& trays) {
  TextSets sets(handle);
  const auto convert = [&sets](std::string& text) {
    if (!is_ascii(text)) text = printer_text_utf8(text, sets.printer());
  };
  for (auto& [key, value] : options.items()) {
    if (!value.is_string()) continue;
    std::string text = value.get<std::string>();
    convert(text);
    value = text;
  }
  for (InputTray& tray : trays) {
    convert(tray.name);
    convert(tray.description);
    convert(tray.media_type);
  }
}

class OptionsCommand : public PrinterCommand {
 public:
  const char* name() const override { return "options"; }
  const char* summary() const override {
    return "open a printer, refresh and print every option key with its value";
  }

 protected:
  int32_t read(OrvHandle handle, FailureContext& context, nlohmann::json& document,
               std::string& text) override {
    context.step = Step::kRefresh;
    int32_t result = OrvRefreshOptions(handle);
    if (result != ORV_OK) return result;
    nlohmann::json options;
    std::vector<InputTray> trays;
    std::string failed_key;
    result = read_printer_options(handle, options, failed_key);
    if (result == ORV_OK) result = read_input_trays(handle, trays, failed_key);
    if (result != ORV_OK) {
      context.step = Step::kReadOption;
      context.action = "reading option \"" + failed_key + "\"";
      return result;
    }
    convert_option_texts(handle, options, trays);
    document["options"] = options;
    document["input_trays"] = nlohmann::json::array();
    for (const InputTray& tray : trays) document["input_trays"].push_back(tray_json(tray));
    text = options_text(address(), options, trays);
    return ORV_OK;
  }
};

}  // namespace

ORVCTL_REGISTER_COMMAND(OptionsCommand);

}  // namespace orvctl
