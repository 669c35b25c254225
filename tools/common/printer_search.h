// Discovery over several destinations at once: one find per destination on
// its own handle, run in parallel (handles may be used from different
// threads), the printers then merged by address.
#pragma once

#include "printer_session.h"

#include <optional>
#include <string>
#include <vector>

namespace orvctl {

struct FoundPrinter {
  std::string address;
  std::string model;
  std::string sys_object_id;
};

struct SearchRequest {
  RequestSettings settings;
  std::vector<std::string> filters;  // sysObjectID prefixes; empty keeps every answer
};

// One destination: nullopt is the library's default (the limited broadcast
// for IPv4, the all-nodes group for IPv6).
using Destination = std::optional<std::string>;

struct FindOutcome {
  std::string destination;  // the address text, the default spelled out
  int32_t result = ORV_OK;
  std::vector<FoundPrinter> printers;
};

// The address a default destination stands for.
std::string destination_text(const Destination& destination, bool ipv6);

// One find on a fresh handle.
FindOutcome find_printers(const Destination& destination, const SearchRequest& request);

// All finds at once; outcomes in the order of `destinations`.
std::vector<FindOutcome> find_everywhere(const std::vector<Destination>& destinations,
                                         const SearchRequest& request);

// The printers of every successful outcome, each address once (the first
// report wins), ordered by address.
std::vector<FoundPrinter> merge_printers(const std::vector<FindOutcome>& outcomes);

// Numeric order for IPv4 and IPv6 texts, IPv4 first; other texts last, by text.
bool address_less(const std::string& a, const std::string& b);

}  // namespace orvctl
