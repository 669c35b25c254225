// orvctl options ADDRESS: opens a printer, refreshes its options and prints
// every key with its value, the input trays as a table.
#include "command.h"
#include "media_names.h"
#include "option_reader.h"
#include "output.h"
#include "printer_session.h"

#include <iostream>

namespace orvctl {
namespace {

constexpr const char* kName = "options";

std::string with_code(const std::string& name, int32_t code) {
  return name.empty() ? std::to_string(code) : name + " (" + std::to_string(code) + ")";
}

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
      tray.level_percent < 0 ? "unknown" : std::to_string(tray.level_percent) + "%",
      tray.media_type,
  };
}

void print_text(const std::string& address, const nlohmann::json& options,
                const std::vector<InputTray>& trays) {
  std::vector<Row> rows;
  for (const OptionKey& key : printer_option_keys()) {
    rows.push_back({key.key, value_text(options.at(key.key))});
  }
  std::cout << "Options of " << address << "\n\n" << format_table({"key", "value"}, rows);
  std::vector<Row> tray_rows;
  for (const InputTray& tray : trays) tray_rows.push_back(tray_row(tray));
  std::cout << "\nInput trays\n\n"
            << format_table({"index", "name", "type", "size", "direction", "capacity", "level",
                             "media type"},
                            tray_rows);
}

class OptionsCommand : public Command {
 public:
  const char* name() const override { return kName; }
  const char* summary() const override {
    return "open a printer, refresh and print every option key with its value";
  }
  void add_arguments(CLI::App& sub) override {
    sub.add_option("ADDRESS", address_, "the printer's IPv4 or IPv6 address, or its host name")->required();
    add_request_arguments(sub, settings_);
  }
  int run(const CommonOptions& common) override {
    FailureContext context{Step::kOpen, address_, settings_.timeout_ms, settings_.retries, {}};
    nlohmann::json document = json_document(kName, true);
    document["address"] = address_;
    HandlePtr handle;
    int32_t result = open_printer(address_, settings_, handle, &context.address_problem);
    if (result != ORV_OK) return report_failure(kName, common, result, context, document);
    context.step = Step::kRefresh;
    result = OrvRefreshOptions(handle.get());
    if (result != ORV_OK) return report_failure(kName, common, result, context, document);
    nlohmann::json options;
    std::vector<InputTray> trays;
    std::string failed_key;
    result = read_printer_options(handle.get(), options, failed_key);
    if (result == ORV_OK) result = read_input_trays(handle.get(), trays, failed_key);
    if (result != ORV_OK) {
      context.step = Step::kReadOption;
      context.action = "reading option \"" + failed_key + "\"";
      return report_failure(kName, common, result, context, document);
    }
    if (common.json) {
      document["options"] = options;
      document["input_trays"] = nlohmann::json::array();
      for (const InputTray& tray : trays) document["input_trays"].push_back(tray_json(tray));
      print_json(document);
    } else {
      print_text(address_, options, trays);
    }
    return kExitOk;
  }

 private:
  std::string address_;
  RequestSettings settings_;
};

}  // namespace

ORVCTL_REGISTER_COMMAND(OptionsCommand);

}  // namespace orvctl
