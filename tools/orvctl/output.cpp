#include "output.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace orvctl {
namespace {

// Where JSON documents go; standard output unless moved aside.
std::FILE* json_stream = stdout;

}  // namespace

std::string escape_controls(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto octet = static_cast<unsigned char>(c);
    if (octet >= 0x20 && octet != 0x7F) {
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      static constexpr char kDigits[] = "0123456789abcdef";
      out += "\\x";
      out += kDigits[octet >> 4];
      out += kDigits[octet & 0x0F];
    }
  }
  return out;
}

std::string format_table(const Row& header, const std::vector<Row>& raw_rows) {
  // Texts from the printer may hold control characters: shown escaped, they
  // can neither recolour the terminal nor break the table.
  std::vector<Row> rows = raw_rows;
  for (Row& row : rows) {
    for (std::string& cell : row) cell = escape_controls(cell);
  }
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

void print_json(const nlohmann::json& document, bool one_line) {
  // Printer texts need not be valid UTF-8; replace what is not rather than
  // failing after the work is done.
  const std::string text =
      document.dump(one_line ? -1 : 2, ' ', false, nlohmann::json::error_handler_t::replace);
  std::cout.flush();
  std::fputs(text.c_str(), json_stream);
  std::fputc('\n', json_stream);
  std::fflush(json_stream);
}

bool keep_json_apart_from_log() {
  std::cout.flush();
  std::fflush(stdout);
  const int results_fd = dup(STDOUT_FILENO);
  if (results_fd < 0) {
    std::perror("orvctl: dup standard output");
    return false;
  }
  std::FILE* results = fdopen(results_fd, "w");
  if (results == nullptr) {
    std::perror("orvctl: fdopen standard output");
    close(results_fd);
    return false;
  }
  if (dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
    std::perror("orvctl: move the log to standard error");
    std::fclose(results);
    return false;
  }
  json_stream = results;  // lives until exit, which flushes it
  return true;
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
