// One probe: opens a printer on a handle of its own, refreshes its options
// and reads its status tables into plain records, ready to be written as
// metrics. Talks to the library through the public header only.
#pragma once

#include <orv/orv.h>
#include <orv/orv_ext.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model_book.h"
#include "option_reader.h"
#include "printer_session.h"
#include "printer_text.h"
#include "target_rules.h"

namespace orv_exporter {

// A table's name ("options", "toner", ...) and how reading it ended.
struct TableResult {
  std::string table;
  int32_t code = ORV_OK;
};

struct ProbeData {
  int32_t open_result = ORV_OK;  // the printer is up when 0
  std::string open_problem;      // the reason in words when it is not
  std::string address;           // the numeric address opened
  // Set when the target may not be probed (a broadcast, say): the probe
  // sent nothing and the scraper is told why.
  std::string refusal;
  // The character set of the printer's texts (an IANA MIBenum).
  int32_t char_set = orvctl::kMibEnumUtf8;
  double duration_seconds = 0;

  std::string sys_object_id;
  std::string model;  // from discovery, when the printer was found there
  std::string rom_version;
  std::string sys_name;
  std::optional<int32_t> memory_kbytes;
  std::vector<std::pair<std::string, bool>> installed;  // option key, present
  std::vector<orvctl::InputTray> option_trays;

  std::optional<OrvPrinterInfo> printer;
  std::vector<OrvStorageInfo> storage;
  std::vector<OrvInputTrayInfo> input_trays;
  std::vector<OrvOutputTrayInfo> output_trays;
  std::vector<OrvTonerInfo> toner;
  std::vector<OrvAlertInfo> alerts;
  std::vector<int32_t> job_states;
  std::vector<OrvMarkerInfo> markers;
  std::vector<OrvSupplyInfo> supplies;  // every supply, toner or not
  std::optional<OrvPrinterState> state;

  std::vector<TableResult> tables;
};

// The protocol and the numeric address to open `target` at, in canonical
// form: an IPv4 or IPv6 address, or a host name's first address (IPv4
// before IPv6).
// Returns false, with the code and the words, when it names no address.
bool choose_address(const std::string& target, std::string& address, bool& ipv6, int32_t& code,
                    std::string& problem);

// How long the search for a model waits for the printer's answer.
inline constexpr uint32_t kModelSearchMs = 300;

// Probes `target` with `request` (its community or SNMPv3 user, time-out and
// retries; the family is chosen here), unless `rules` refuse its address. Between steps it looks at
// `abandoned` and stops reading when it has turned true. The model comes
// from `models`, or from a search sent to the printer alone while the
// tables are read, which is then remembered there.
ProbeData probe_printer(const std::string& target, orvctl::RequestSettings request,
                        const std::atomic<bool>& abandoned, ModelBook& models,
                        const TargetRules& rules = {});

// The sysObjectID an open printer reported, spelled out from the library's
// prefix test (no exchange is made).
std::string opened_sys_object_id(OrvHandle handle);

}  // namespace orv_exporter
