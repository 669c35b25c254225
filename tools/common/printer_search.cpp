#include "printer_search.h"

#include "broadcast_targets.h"

#include <arpa/inet.h>

#include <cstring>

#include <algorithm>
#include <array>
#include <set>
#include <thread>

namespace orvctl {
namespace {

constexpr const char* kCommunityFind = "CmdSetCommunityFind";
constexpr int16_t kTrue = 1;

// (family rank, bytes) so that IPv4 sorts before IPv6 and both before names.
std::pair<int, std::array<unsigned char, 16>> address_key(const std::string& text) {
  std::array<unsigned char, 16> bytes{};
  if (inet_pton(AF_INET, text.c_str(), bytes.data()) == 1) return {0, bytes};
  if (inet_pton(AF_INET6, text.c_str(), bytes.data()) == 1) return {1, bytes};
  return {2, bytes};
}

std::string bounded_text(const char (&buffer)[ORV_DEVICE_TEXT_SIZE]) {
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

}  // namespace

std::string destination_text(const Destination& destination, bool ipv6) {
  if (destination) return *destination;
  return ipv6 ? kAllNodes : "255.255.255.255";
}

FindOutcome find_printers(const Destination& destination, const SearchRequest& request) {
  const RequestSettings& settings = request.settings;
  FindOutcome outcome;
  outcome.destination = destination_text(destination, settings.ipv6);
  HandlePtr handle;
  outcome.result = create_handle(handle);
  if (outcome.result != ORV_OK) return outcome;
  if (!settings.community.empty()) {
    outcome.result = OrvCommandString(handle.get(), kCommunityFind, settings.community.c_str());
    if (outcome.result != ORV_OK) return outcome;
  }
  for (const std::string& filter : request.filters) {
    outcome.result = OrvFindAddFilter(handle.get(), filter.c_str());
    if (outcome.result != ORV_OK) return outcome;
  }
  int32_t count = 0;
  const char* broadcast = destination ? destination->c_str() : nullptr;
  if (settings.v3.enabled()) {
    const OrvUSMParameters usm = usm_parameters(settings.v3);
    outcome.result = OrvFindDeviceSNMPEx(handle.get(), broadcast, settings.protocol(),
                                         ORV_SECURITY_USM, &usm, settings.timeout_ms,
                                         settings.retries, &count);
  } else {
    outcome.result = OrvFindDeviceSNMP(handle.get(), broadcast, settings.protocol(),
                                       settings.timeout_ms, settings.retries, &count);
  }
  if (outcome.result != ORV_OK) return outcome;
  OrvFindResetPosition(handle.get());
  char address[ORV_DEVICE_TEXT_SIZE] = {};
  char model[ORV_DEVICE_TEXT_SIZE] = {};
  char reserved[ORV_DEVICE_TEXT_SIZE] = {};
  char oid[ORV_DEVICE_TEXT_SIZE] = {};
  // Bounded by the count the find reported, whatever the iteration answers.
  for (int32_t i = 0; i < count; ++i) {
    if (OrvGetDeviceNext(handle.get(), address, model, reserved, oid) != kTrue) break;
    outcome.printers.push_back({bounded_text(address), bounded_text(model), bounded_text(oid)});
  }
  return outcome;
}

std::vector<FindOutcome> find_everywhere(const std::vector<Destination>& destinations,
                                         const SearchRequest& request) {
  std::vector<FindOutcome> outcomes(destinations.size());
  std::vector<std::thread> threads;
  threads.reserve(destinations.size());
  try {
    for (size_t i = 0; i < destinations.size(); ++i) {
      threads.emplace_back([&, i] { outcomes[i] = find_printers(destinations[i], request); });
    }
  } catch (...) {
    // No thread may outlive the outcomes it writes.
    for (std::thread& thread : threads) thread.join();
    throw;
  }
  for (std::thread& thread : threads) thread.join();
  return outcomes;
}

std::vector<FoundPrinter> merge_printers(const std::vector<FindOutcome>& outcomes) {
  std::vector<FoundPrinter> merged;
  std::set<std::string> seen;
  for (const FindOutcome& outcome : outcomes) {
    if (outcome.result != ORV_OK) continue;
    for (const FoundPrinter& printer : outcome.printers) {
      if (seen.insert(printer.address).second) merged.push_back(printer);
    }
  }
  std::stable_sort(merged.begin(), merged.end(), [](const FoundPrinter& a, const FoundPrinter& b) {
    return address_less(a.address, b.address);
  });
  return merged;
}

bool address_less(const std::string& a, const std::string& b) {
  const auto key_a = address_key(a);
  const auto key_b = address_key(b);
  if (key_a.first != key_b.first) return key_a.first < key_b.first;
  if (key_a.first == 2) return a < b;
  return key_a.second < key_b.second;
}

}  // namespace orvctl
