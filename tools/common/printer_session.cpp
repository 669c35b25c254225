#include "printer_session.h"

#include <orv/orv_ext.h>

#include "printer_address.h"

namespace orvctl {
namespace {

constexpr uint32_t kMaxTimeoutMs = 3600000;
constexpr uint32_t kMaxRetries = 100;
constexpr const char* kCommunityGetOption = "CmdSetCommunityGetOption";

}  // namespace

void add_request_arguments(CLI::App& sub, RequestSettings& settings) {
  sub.add_flag("--ipv6", settings.ipv6, "speak UDP over IPv6 (the address is an IPv6 address)");
  sub.add_option("--timeout", settings.timeout_ms, "time-out of one try in milliseconds")
      ->check(CLI::Range(1u, kMaxTimeoutMs))
      ->capture_default_str();
  sub.add_option("--retries", settings.retries, "tries after the first one")
      ->check(CLI::Range(0u, kMaxRetries))
      ->capture_default_str();
  // The library keeps a community in a 256-byte field, terminator included.
  CLI::Option* community = sub.add_option("--community", settings.community,
                 "SNMP community (default: the library's, \"public\")")
      ->check([](const std::string& text) -> std::string {
        if (text.size() >= ORV_COMMUNITY_SIZE) {
          return "a community is at most " + std::to_string(ORV_COMMUNITY_SIZE - 1) +
                 " characters";
        }
        return {};
      });
  add_v3_arguments(sub, settings.v3);
  // A user replaces the community; both at once is a mistake worth naming.
  community->excludes("--v3-user");
}

int32_t create_handle(HandlePtr& out) {
  OrvHandle raw = nullptr;
  const int32_t result = OrvInit(&raw);
  out.reset(raw);
  return result;
}

int32_t open_printer(const std::string& address, const RequestSettings& settings, HandlePtr& out,
                     std::string* address_problem) {
  const PrinterAddress target = resolve_printer_address(address, settings.ipv6);
  if (!target.usable()) {
    if (address_problem) *address_problem = target.message;
    return target.code;
  }
  int32_t result = ORV_OK;
  if (!out) {
    result = create_handle(out);
    if (result != ORV_OK) return result;
  }
  if (!settings.community.empty()) {
    result = OrvCommandString(out.get(), kCommunityGetOption, settings.community.c_str());
    if (result != ORV_OK) return result;
  }
  if (settings.bulk_repetitions != 0) {
    result = OrvSetBulkWalk(out.get(), settings.bulk_repetitions);
    if (result != ORV_OK) return result;
  }
  if (settings.v3.enabled()) {
    const OrvUSMParameters usm = usm_parameters(settings.v3);
    return OrvInitDeviceEx(out.get(), target.address.c_str(), settings.protocol(),
                           ORV_SECURITY_USM, &usm, settings.timeout_ms, settings.retries);
  }
  return OrvInitDevice(out.get(), target.address.c_str(), settings.protocol(), settings.timeout_ms,
                       settings.retries);
}

}  // namespace orvctl
