#include "printer_probe.h"

#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <vector>

#include "exporter_log.h"
#include "probe_tables.h"
#include "printer_address.h"
#include "printer_search.h"
#include "result_messages.h"

namespace orv_exporter {
namespace {

// The library's code for a text that names no address.
constexpr int32_t kNoAddress = -1;

// The longest sysObjectID text the library keeps, terminator included.
constexpr size_t kMaxSysObjectId = 256;

template <size_t N>
bool ascii_field(const char (&field)[N]) {
  return orvctl::is_ascii(std::string_view(field, strnlen(field, N)));
}

// Whether a text the metrics show holds more than ASCII, which reads alike
// in every set: only then is the printer asked for its character set.
bool needs_char_set(const ProbeData& d) {
  bool ascii = orvctl::is_ascii(d.model) && orvctl::is_ascii(d.rom_version) &&
               orvctl::is_ascii(d.sys_name);
  for (const auto& t : d.option_trays) {
    ascii = ascii && orvctl::is_ascii(t.name) && orvctl::is_ascii(t.media_type);
  }
  for (const auto& s : d.storage) ascii = ascii && ascii_field(s.description);
  for (const auto& t : d.input_trays) ascii = ascii && ascii_field(t.name);
  for (const auto& t : d.output_trays) ascii = ascii && ascii_field(t.name);
  for (const auto& t : d.toner) ascii = ascii && ascii_field(t.description);
  for (const auto& s : d.supplies) {
    ascii = ascii && ascii_field(s.description) && ascii_field(s.colorant);
  }
  for (const auto& a : d.alerts) ascii = ascii && ascii_field(a.description);
  return !ascii;
}

void read_char_set(OrvHandle h, ProbeData& data) {
  // Without the printer's own word its texts are taken for UTF-8.
  int32_t char_set = 0;
  if (OrvGetCharSet(h, ORV_CHARSET_PRINTER, &char_set) == ORV_OK && char_set > 0) {
    data.char_set = char_set;
  }
}

// A search sent to the printer's own address: its answer names the model.
std::future<orvctl::FindOutcome> start_model_search(const std::string& address,
                                                    const orvctl::RequestSettings& request) {
  orvctl::SearchRequest search{request, {}};
  search.settings.timeout_ms = kModelSearchMs;
  search.settings.retries = 0;
  return std::async(std::launch::async, [address, search] {
    return orvctl::find_printers(orvctl::Destination(address), search);
  });
}

// The printer as the search found it, remembered; nullopt (and nothing
// remembered, so the next probe asks again) when it did not answer.
std::optional<orvctl::FoundPrinter> printer_found(const orvctl::FindOutcome& outcome,
                                                  const std::string& address,
                                                  const orvctl::RequestSettings& view,
                                                  ModelBook& models) {
  for (const orvctl::FoundPrinter& printer : outcome.printers) {
    if (printer.address != address) continue;
    models.remember(printer, view);
    return printer;
  }
  return std::nullopt;
}

}  // namespace

bool choose_address(const std::string& target, std::string& address, bool& ipv6, int32_t& code,
                    std::string& problem) {
  // The name service would read the text only up to a NUL byte.
  if (target.find('\0') != std::string::npos) {
    code = kNoAddress;
    problem = "the target holds a NUL byte";
    return false;
  }
  orvctl::PrinterAddress chosen = orvctl::resolve_printer_address(target, false);
  ipv6 = false;
  if (!chosen.usable()) {
    const orvctl::PrinterAddress v6 = orvctl::resolve_printer_address(target, true);
    // The IPv4 words stand when neither family has the printer.
    if (v6.usable()) {
      chosen = v6;
      ipv6 = true;
    }
  }
  // The model book and the search's answers know the address in one spelling.
  address = orvctl::canonical_address(chosen.address);
  code = chosen.code;
  problem = chosen.message;
  return chosen.usable();
}

std::string opened_sys_object_id(OrvHandle handle) {
  std::string oid;
  while (oid.size() + 1 < kMaxSysObjectId) {
    bool extended = false;
    for (const char c : std::string("0123456789.")) {
      if (OrvIsSupportedOID(handle, (oid + c).c_str()) != 0) {
        oid += c;
        extended = true;
        break;
      }
    }
    if (!extended) break;
  }
  return oid;
}

ProbeData probe_printer(const std::string& target, orvctl::RequestSettings request,
                        const std::atomic<bool>& abandoned, ModelBook& models,
                        const TargetRules& rules) {
  const auto start = std::chrono::steady_clock::now();
  ProbeData data;
  const bool chosen =
      choose_address(target, data.address, request.ipv6, data.open_result, data.open_problem);
  if (chosen) {
    if (std::optional<std::string> refusal = target_refusal(data.address, rules)) {
      data.refusal = *refusal;
      data.open_result = ORV_ERR_INVALID_ARG;
      data.open_problem = *refusal;
      log(LogLevel::kWarn, "target refused", {{"target", target}, {"reason", *refusal}});
      return data;
    }
    std::optional<orvctl::FoundPrinter> known = models.find(data.address, request);
    std::future<orvctl::FindOutcome> model_search;
    if (!known) model_search = start_model_search(data.address, request);
    // A handle kept from an earlier probe needs no open; one opened now is
    // kept for the next probe when everything read on it succeeded.
    HandlePool& pool = models.handles();
    const auto max_age = models.max_age();
    HandlePool::Kept kept = pool.take(data.address, request, max_age);
    orvctl::HandlePtr handle = std::move(kept.handle);
    if (!handle) {
      kept.opened = HandlePool::Clock::now();
      data.open_result = orvctl::open_printer(data.address, request, handle, &data.open_problem);
    }
    if (data.open_result != ORV_OK && data.open_problem.empty()) {
      orvctl::FailureContext context{orvctl::Step::kOpen, data.address, request.timeout_ms,
                                     request.retries, {}};
      context.snmpv3 = request.v3.enabled();
      data.open_problem = orvctl::describe_result(data.open_result, context);
    }
    std::vector<orvctl::HandlePtr> used;
    std::mutex opened_mutex;
    std::map<void*, HandlePool::Clock::time_point> opened_at;  // of the extra handles
    const auto extra = [&]() -> orvctl::HandlePtr {
      HandlePool::Kept other = pool.take(data.address, request, max_age);
      if (!other.handle) {
        other.opened = HandlePool::Clock::now();
        if (orvctl::open_printer(data.address, request, other.handle) != ORV_OK) return {};
      }
      std::lock_guard lock(opened_mutex);
      opened_at[other.handle.get()] = other.opened;
      return std::move(other.handle);
    };
    if (data.open_result == ORV_OK) {
      read_everything(handle.get(), extra, data, request, models, abandoned, used);
    }
    if (model_search.valid())
      known = printer_found(model_search.get(), data.address, request, models);
    if (known) data.model = known->model;
    if (data.open_result == ORV_OK && !abandoned.load() && needs_char_set(data)) {
      read_char_set(handle.get(), data);
    }
    // Spelling the identifier out through the prefix test takes hundreds of
    // calls; the search's answer already carries it.
    if (data.open_result == ORV_OK) {
      data.sys_object_id = known && !known->sys_object_id.empty()
                               ? known->sys_object_id
                               : opened_sys_object_id(handle.get());
    }
    bool all_read = data.open_result == ORV_OK && !abandoned.load();
    for (const TableResult& t : data.tables) all_read = all_read && t.code == ORV_OK;
    if (all_read) pool.give_back(data.address, request, std::move(handle), kept.opened);
    for (orvctl::HandlePtr& h : used) {
      const auto when = opened_at[h.get()];
      pool.give_back(data.address, request, std::move(h), when);
    }
  }
  data.duration_seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return data;
}

}  // namespace orv_exporter
