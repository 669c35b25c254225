// orvctl cancel ADDRESS JOB_ID [--write-community C]: cancels one job.
#include "job_identifier.h"
#include "printer_command.h"

namespace orvctl {
namespace {

class CancelCommand : public PrinterCommand {
 public:
  const char* name() const override { return "cancel"; }
  const char* summary() const override { return "cancel a job of a printer"; }

 protected:
  void add_own_arguments(CLI::App& sub) override {
    sub.add_option("JOB_ID", job_id_,
                   "the job's identifier, as \"orvctl jobs\" lists it (\"hex:4a4f42e9\" for "
                   "one that is not printable ASCII)")
        ->required()
        ->check(CLI::Validator(
            [](const std::string& text) -> std::string {
              std::string octets;
              return job_id_octets(text, &octets) ? "" : "not an identifier: hex: takes pairs of hex digits, none 00";
            },
            "JOB_ID"));
    sub.add_option("--write-community", write_community_,
                   "community allowed to write (default: the library's, \"private\")")
        ->check(CLI::Validator(
            [](const std::string& text) -> std::string {
              return text.size() < ORV_COMMUNITY_SIZE ? "" : "community too long";
            },
            "TEXT"))
        // An SNMPv3 user writes with its own rights; a community would be dropped.
        ->excludes("--v3-user");
  }
  int32_t prepare(OrvHandle handle) override {
    if (write_community_.empty()) return ORV_OK;
    return OrvCommandString(handle, "CmdSetCommunityWrite", write_community_.c_str());
  }
  int32_t read(OrvHandle handle, FailureContext& context, nlohmann::json& document,
               std::string& text) override {
    context.step = Step::kCancel;
    document["job_id"] = job_id_;
    std::string octets;
    job_id_octets(job_id_, &octets);  // checked with the arguments
    const int32_t result = OrvCancelJob(handle, octets.c_str());
    text = "Cancelled job " + job_id_ + " on " + address() + "\n";
    return result;
  }

 private:
  std::string job_id_;
  std::string write_community_;
};

}  // namespace

ORVCTL_REGISTER_COMMAND(CancelCommand);

}  // namespace orvctl
