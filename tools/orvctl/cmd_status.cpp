// orvctl status ADDRESS [TABLE]...: the printer's status tables, all of them
// when none is named.
#include "printer_command.h"
#include "status_tables.h"

namespace orvctl {
namespace {

class StatusCommand : public PrinterCommand {
 public:
  const char* name() const override { return "status"; }
  const char* summary() const override {
    return "open a printer and print its status tables (storage, devices, printer, state, "
           "trays, outputs, toner, markers, supplies, alerts, jobs)";
  }

 protected:
  void add_own_arguments(CLI::App& sub) override {
    sub.add_option("TABLE", tables_, "tables to show (default: all)")
        ->check(CLI::IsMember(status_table_names()));
  }
  // Every table is read; one that fails leaves a line in its place, and the
  // command fails with the first failure.
  int32_t read(OrvHandle handle, FailureContext& context, nlohmann::json& document,
               std::string& text) override {
    context.step = Step::kStatus;
    text = "Status of " + address() + "\n";
    int32_t first_failure = ORV_OK;
    nlohmann::json failures = nlohmann::json::object();
    TextSets sets(handle);
    for (const std::string& table : tables_.empty() ? status_table_names() : tables_) {
      nlohmann::json data;
      std::string failed;
      const int32_t result = read_status_table(handle, table, data, failed);
      if (result == ORV_OK) {
        convert_table_texts(table, sets, data);
        text += "\n" + status_table_text(table, data);
        document[table] = data;
        continue;
      }
      FailureContext table_context = context;
      table_context.action = "reading the " + table + " table (" + failed + ")";
      const std::string message = describe_result(result, table_context);
      text += "\n" + message + "\n";
      failures[table] = {{"code", result}, {"message", message}};
      if (first_failure == ORV_OK) {
        first_failure = result;
        context = table_context;
      }
    }
    if (!failures.empty()) document["failed_tables"] = failures;
    return first_failure;
  }
  bool shows_text_on_failure() const override { return true; }

 private:
  std::vector<std::string> tables_;
};

}  // namespace

ORVCTL_REGISTER_COMMAND(StatusCommand);

}  // namespace orvctl
