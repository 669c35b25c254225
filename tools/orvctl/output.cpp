#include "output.h"

#include <algorithm>
#include <iostream>

namespace orvctl {

std::string format_table(const Row& header, const std::vector<Row>& rows) {
  std::vector<size_t> widths(header.size(), 0);
  auto widen = [&widths](const Row& row) {
    for (size_t i = 0; i < row.size() && i < widths.size(); ++i) {
      widths[i] = std::max(widths[i], row[i].size());
    }
  };
  widen(header);
  for (const Row& row : rows) widen(row);
  std::string out;
  auto append = [&](const Row& row) {
    std::string line;
    for (size_t i = 0; i < widths.size(); ++i) {
      const std::string cell = i < row.size() ? row[i] : std::string();
      line += cell;
      if (i + 1 < widths.size()) line += std::string(widths[i] - cell.size() + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  };
  append(header);
  for (const Row& row : rows) append(row);
  return out;
}

nlohmann::json json_document(const char* command, bool ok) {
  return nlohmann::json{{"command", command}, {"ok", ok}};
}

void print_json(const nlohmann::json& document) {
  // Printer texts need not be valid UTF-8; replace what is not rather than
  // failing after the work is done.
  std::cout << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

int report_failure(const char* command, const CommonOptions& common, int32_t code,
                   const FailureContext& context, nlohmann::json document) {
  const std::string message = describe_result(code, context);
  std::cerr << "orvctl " << command << ": " << message << '\n';
  if (common.json) {
    if (!document.is_object()) document = nlohmann::json::object();
    document["command"] = command;
    document["ok"] = false;
    document["error"] = {{"code", code}, {"message", message}};
    print_json(document);
  }
  return kExitFailure;
}

}  // namespace orvctl
