#include "printer_command.h"

#include <iostream>

namespace orvctl {

void PrinterCommand::add_arguments(CLI::App& sub) {
  sub.add_option("ADDRESS", address_, "the printer's IPv4 or IPv6 address, or its host name")->required();
  // The request switches first, so that a command's own may exclude them.
  add_request_arguments(sub, settings_);
  add_own_arguments(sub);
}

int PrinterCommand::run(const CommonOptions& common) {
  FailureContext context{Step::kCreate, address_, settings_.timeout_ms, settings_.retries, {}};
  context.snmpv3 = settings_.v3.enabled();
  nlohmann::json document = json_document(name(), true);
  document["address"] = address_;
  HandlePtr handle;
  int32_t result = create_handle(handle);
  if (result == ORV_OK) result = prepare(handle.get());
  if (result != ORV_OK) return report_failure(name(), common, result, context, document);
  context.step = Step::kOpen;
  result = open_printer(address_, settings_, handle, &context.address_problem);
  if (result != ORV_OK) return report_failure(name(), common, result, context, document);
  std::string text;
  result = read(handle.get(), context, document, text);
  if (result != ORV_OK) {
    if (!common.json && shows_text_on_failure()) std::cout << text;
    return report_failure(name(), common, result, context, document);
  }
  if (common.json) {
    print_json(document);
  } else {
    std::cout << text;
  }
  return kExitOk;
}

}  // namespace orvctl
