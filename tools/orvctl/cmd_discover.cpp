// orvctl discover: finds the supported printers on the local networks.
#include "broadcast_targets.h"
#include "command.h"
#include "oid_argument.h"
#include "output.h"
#include "printer_search.h"
#include "printer_text.h"
#include "progress_bar.h"

#include <iostream>

namespace orvctl {
namespace {

constexpr const char* kDiscoverName = "discover";
// The library keeps this many filters and ignores the rest silently.
constexpr size_t kMaxFilters = 50;
// A filter lives in a 64-byte field, terminator included.
constexpr size_t kMaxFilterLength = 63;

std::string filter_error(const std::string& text) {
  if (text.size() > kMaxFilterLength) {
    return "a filter is at most " + std::to_string(kMaxFilterLength) + " characters";
  }
  return {};
}

class DiscoverCommand : public Command {
 public:
  const char* name() const override { return kDiscoverName; }
  const char* summary() const override {
    return "find the supported printers by broadcast and print one row per printer";
  }
  void add_arguments(CLI::App& sub) override {
    add_request_arguments(sub, request_.settings);
    sub.add_option("--broadcast", broadcast_,
                   "send only to this broadcast (or IPv6 multicast) address; without it the "
                   "search goes to 255.255.255.255 and every local directed broadcast address "
                   "(with --ipv6: ff02::1 on every up multicast link)");
    sub.add_option("--filter", request_.filters,
                   "keep only printers whose sysObjectID begins with this OID (repeatable, up to "
                   "50)")
        ->transform(oid_validator())
        ->check(filter_error)
        ->allow_extra_args(false);
  }
  int run(const CommonOptions& common) override {
    const RequestSettings& settings = request_.settings;
    if (request_.filters.size() > kMaxFilters) {
      std::cerr << "orvctl " << kDiscoverName << ": at most " << kMaxFilters << " --filter options\n";
      return kExitFailure;
    }
    std::vector<Destination> destinations;
    if (!broadcast_.empty()) {
      destinations.emplace_back(broadcast_);
    } else if (settings.ipv6) {
      for (const std::string& group : local_all_nodes_per_link()) destinations.emplace_back(group);
      // No link found: the library's own choice of link.
      if (destinations.empty()) destinations.emplace_back(std::nullopt);
    } else {
      destinations.emplace_back(std::nullopt);
      for (const std::string& address : local_directed_broadcasts()) {
        destinations.emplace_back(address);
      }
    }
    std::vector<FindOutcome> outcomes;
    {
      const uint64_t span_ms =
          (static_cast<uint64_t>(settings.retries) + 1) * static_cast<uint64_t>(settings.timeout_ms);
      ProgressBar bar(ProgressBar::terminal_attached(), span_ms);
      outcomes = find_everywhere(destinations, request_);
    }
    return report(common, outcomes);
  }

 private:
  FailureContext find_context(const std::string& destination) const {
    FailureContext context{Step::kFind, destination, request_.settings.timeout_ms,
                           request_.settings.retries, "searching " + destination};
    context.snmpv3 = request_.settings.v3.enabled();
    return context;
  }

  int report(const CommonOptions& common, const std::vector<FindOutcome>& outcomes) const {
    nlohmann::json searches = nlohmann::json::array();
    const FindOutcome* first_failure = nullptr;
    size_t failures = 0;
    for (const FindOutcome& outcome : outcomes) {
      nlohmann::json search = {{"destination", outcome.destination}, {"result", outcome.result}};
      if (outcome.result == ORV_OK) {
        search["found"] = outcome.printers.size();
      } else {
        search["message"] = describe_result(outcome.result, find_context(outcome.destination));
        if (first_failure == nullptr) first_failure = &outcome;
        ++failures;
      }
      searches.push_back(search);
    }
    const bool all_failed = failures == outcomes.size();
    nlohmann::json document = json_document(kDiscoverName, !all_failed);
    document["searches"] = searches;
    if (all_failed && first_failure != nullptr) {
      return report_failure(kDiscoverName, common, first_failure->result,
                            find_context(first_failure->destination), document);
    }
    // With other searches answering, a failed one is a warning, not the end.
    for (const auto& search : searches) {
      if (search.contains("message")) {
        std::cerr << "orvctl " << kDiscoverName << ": warning: " << search["message"].get<std::string>()
                  << '\n';
      }
    }
    std::vector<FoundPrinter> printers = merge_printers(outcomes);
    // A search knows no printer's character set: the model is checked as UTF-8.
    for (FoundPrinter& p : printers) p.model = printer_text_utf8(p.model, kMibEnumUtf8);
    if (common.json) {
      document["printers"] = nlohmann::json::array();
      for (const FoundPrinter& p : printers) {
        document["printers"].push_back(
            {{"address", p.address}, {"model", p.model}, {"sys_object_id", p.sys_object_id}});
      }
      print_json(document);
      return kExitOk;
    }
    if (printers.empty()) {
      std::cout << "no supported printer answered\n";
      return kExitOk;
    }
    std::vector<Row> rows;
    for (const FoundPrinter& p : printers) rows.push_back({p.address, p.model, p.sys_object_id});
    std::cout << format_table({"address", "model", "sysObjectID"}, rows);
    return kExitOk;
  }

  SearchRequest request_;
  std::string broadcast_;
};

}  // namespace

ORVCTL_REGISTER_COMMAND(DiscoverCommand);

}  // namespace orvctl
