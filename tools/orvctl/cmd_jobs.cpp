// orvctl jobs ADDRESS [--kind all|active|done]: the printer's job list.
#include "printer_command.h"
#include "status_tables.h"

#include <map>

namespace orvctl {
namespace {

// Done jobs are those in state 17; active ones every other.
const std::map<std::string, uint32_t> kKinds = {
    {"all", ORV_JOBS_ALL}, {"active", ORV_JOBS_NOT_STATE_17}, {"done", ORV_JOBS_STATE_17}};

class JobsCommand : public PrinterCommand {
 public:
  const char* name() const override { return "jobs"; }
  const char* summary() const override { return "open a printer and list its jobs"; }

 protected:
  void add_own_arguments(CLI::App& sub) override {
    sub.add_option("--kind", kind_, "all jobs, active ones (not done) or done ones")
        ->transform(CLI::CheckedTransformer(kKinds))
        ->capture_default_str();
  }
  int32_t read(OrvHandle handle, FailureContext& context, nlohmann::json& document,
               std::string& text) override {
    context.step = Step::kStatus;
    nlohmann::json jobs;
    std::string failed;
    const int32_t result = read_jobs(handle, kind_, jobs, failed);
    if (result != ORV_OK) {
      context.action = "reading the jobs (" + failed + ")";
      return result;
    }
    TextSets sets(handle);
    convert_table_texts("jobs", sets, jobs);
    document["jobs"] = jobs;
    text = status_table_text("jobs", jobs);
    return ORV_OK;
  }

 private:
  uint32_t kind_ = ORV_JOBS_ALL;
};

}  // namespace

ORVCTL_REGISTER_COMMAND(JobsCommand);

}  // namespace orvctl
