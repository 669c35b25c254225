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
    return "open a printer and print its status tables (storage, devices, printer, trays, "
           "outputs, toner, alerts, jobs)";
  }

 protected:
  void add_own_arguments(CLI::App& sub) override {
    sub.add_option("TABLE", tables_, "tables to show (default: all)")
        ->check(CLI::IsMember(status_table_names()));
  }
  int32_t read(OrvHandle handle, FailureContext& context, nlohmann::json& document,
               std::string& text) override {
    context.step = Step::kStatus;
    text = "Status of " + address() + "\n";
    for (const std::string& table : tables_.empty() ? status_table_names() : tables_) {
      nlohmann::json data;
      std::string failed;
      const int32_t result = read_status_table(handle, table, data, failed);
      if (result != ORV_OK) {
        context.action = "reading the " + table + " table (" + failed + ")";
        return result;
      }
      text += "\n" + status_table_text(table, data);
      document[table] = data;
    }
    return ORV_OK;
  }

 private:
  std::vector<std::string> tables_;
};

}  // namespace

ORVCTL_REGISTER_COMMAND(StatusCommand);

}  // namespace orvctl
