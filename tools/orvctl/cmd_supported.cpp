// orvctl supported ADDRESS OID: whether an opened printer's sysObjectID
// begins with OID. Like test(1) the answer is the exit status: 0 yes, 1 no
// (or the check failed).
#include "command.h"
#include "oid_argument.h"
#include "output.h"
#include "printer_session.h"

#include <iostream>

namespace orvctl {
namespace {

constexpr const char* kSupportedName = "supported";
constexpr int16_t kTrue = 1;

class SupportedCommand : public Command {
 public:
  const char* name() const override { return kSupportedName; }
  const char* summary() const override {
    return "tell whether a printer's sysObjectID begins with OID (exit status 0 yes, 1 no)";
  }
  void add_arguments(CLI::App& sub) override {
    sub.add_option("ADDRESS", address_, "the printer's IPv4 or IPv6 address, or its host name")->required();
    sub.add_option("OID", oid_, "object identifier prefix, dotted decimal")
        ->required()
        ->transform(oid_validator());
    add_request_arguments(sub, settings_);
  }
  int run(const CommonOptions& common) override {
    FailureContext context{Step::kOpen, address_, settings_.timeout_ms, settings_.retries, {}};
    context.snmpv3 = settings_.v3.enabled();
    nlohmann::json document = json_document(kSupportedName, true);
    document["address"] = address_;
    document["oid"] = oid_;
    HandlePtr handle;
    const int32_t result = open_printer(address_, settings_, handle, &context.address_problem);
    if (result != ORV_OK) return report_failure(kSupportedName, common, result, context, document);
    const bool supported = OrvIsSupportedOID(handle.get(), oid_.c_str()) == kTrue;
    if (common.json) {
      document["supported"] = supported;
      print_json(document);
    } else {
      std::cout << address_ << (supported ? ": sysObjectID begins with " : ": sysObjectID does not begin with ")
                << oid_ << '\n';
    }
    return supported ? kExitOk : kExitFailure;
  }

 private:
  std::string address_;
  std::string oid_;
  RequestSettings settings_;
};

}  // namespace

ORVCTL_REGISTER_COMMAND(SupportedCommand);

}  // namespace orvctl
