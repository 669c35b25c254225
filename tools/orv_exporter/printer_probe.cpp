#include "printer_probe.h"

#include <chrono>
#include <functional>
#include <future>

#include "printer_address.h"
#include "printer_search.h"
#include "result_messages.h"

namespace orv_exporter {
namespace {

// The longest sysObjectID text the library keeps, terminator included.
constexpr size_t kMaxSysObjectId = 256;

// The option keys that say whether a part is installed.
constexpr const char* kInstalledKeys[] = {"HardDisk", "RamDisk",   "DuplexModule", "Scanner",
                                          "Copier",   "InTrayMSI", "InTrayEx1",    "InTrayEx2"};

template <typename Record>
int32_t read_table(OrvHandle handle, const std::function<int32_t(int32_t*)>& count,
                   int32_t (*get)(OrvHandle, uint32_t, Record*), std::vector<Record>& out) {
  int32_t n = 0;
  int32_t rc = count(&n);
  if (rc != ORV_OK) return rc;
  for (uint32_t i = 0; i < static_cast<uint32_t>(n < 0 ? 0 : n); ++i) {
    Record record{};
    rc = get(handle, i, &record);
    if (rc != ORV_OK) return rc;
    out.push_back(record);
  }
  return ORV_OK;
}

std::function<int32_t(int32_t*)> counter(int32_t (*count)(OrvHandle, int32_t*), OrvHandle h) {
  return [count, h](int32_t* n) { return count(h, n); };
}

int32_t read_options(OrvHandle handle, ProbeData& data) {
  int32_t rc = OrvRefreshOptions(handle);
  if (rc != ORV_OK) return rc;
  nlohmann::json options;
  std::string failed_key;
  rc = orvctl::read_printer_options(handle, options, failed_key);
  if (rc != ORV_OK) return rc;
  data.sys_name = options["SysName"].get<std::string>();
  data.rom_version = options["PrinterRomVersion"].get<std::string>();
  data.memory_kbytes = options["MemorySizeInKByte"].get<int32_t>();
  for (const char* key : kInstalledKeys) data.installed.emplace_back(key, options[key].get<bool>());
  return orvctl::read_input_trays(handle, data.option_trays, failed_key);
}

int32_t read_jobs(OrvHandle handle, ProbeData& data) {
  std::vector<OrvJobInfo> jobs;
  const int32_t rc = read_table<OrvJobInfo>(
      handle, [handle](int32_t* n) { return OrvGetNumberOfJobInfo(handle, ORV_JOBS_ALL, n); },
      OrvGetJobInfo, jobs);
  for (const OrvJobInfo& job : jobs) data.job_states.push_back(job.state);
  return rc;
}

template <typename Record>
int32_t read_record(OrvHandle handle, int32_t (*get)(OrvHandle, Record*),
                    std::optional<Record>& out) {
  Record record{};
  const int32_t rc = get(handle, &record);
  if (rc == ORV_OK) out = record;
  return rc;
}

void read_everything(OrvHandle h, ProbeData& data, const std::atomic<bool>& abandoned) {
  using Step = std::pair<const char*, std::function<int32_t()>>;
  const Step steps[] = {
      {"options", [&] { return read_options(h, data); }},
      {"printer", [&] { return read_record(h, OrvGetPrinterInfo, data.printer); }},
      {"storage",
       [&] {
         return read_table(h, counter(OrvGetNumberOfStorageInfo, h), OrvGetStorageInfo,
                           data.storage);
       }},
      {"input_trays",
       [&] {
         return read_table(h, counter(OrvGetNumberOfInputTrayInfo, h), OrvGetInputTrayInfo,
                           data.input_trays);
       }},
      {"output_trays",
       [&] {
         return read_table(h, counter(OrvGetNumberOfOutputTrayInfo, h), OrvGetOutputTrayInfo,
                           data.output_trays);
       }},
      {"toner",
       [&] {
         return read_table(h, counter(OrvGetNumberOfTonerInfo, h), OrvGetTonerInfo, data.toner);
       }},
      {"alerts",
       [&] {
         return read_table(h, counter(OrvGetNumberOfAlertInfo, h), OrvGetAlertInfo, data.alerts);
       }},
      {"jobs", [&] { return read_jobs(h, data); }},
      {"markers",
       [&] {
         return read_table(h, counter(OrvGetNumberOfMarkerInfo, h), OrvGetMarkerInfo, data.markers);
       }},
      {"supplies",
       [&] {
         return read_table(h, counter(OrvGetNumberOfSupplyInfo, h), OrvGetSupplyInfo,
                           data.supplies);
       }},
      {"state", [&] { return read_record(h, OrvGetPrinterState, data.state); }},
  };
  for (const auto& [table, read] : steps) {
    if (abandoned.load()) return;
    data.tables.push_back({table, read()});
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
  address = chosen.address;
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
                        const std::atomic<bool>& abandoned, ModelBook& models) {
  const auto start = std::chrono::steady_clock::now();
  ProbeData data;
  if (choose_address(target, data.address, request.ipv6, data.open_result, data.open_problem)) {
    std::optional<orvctl::FoundPrinter> known = models.find(data.address, request);
    std::future<orvctl::FindOutcome> model_search;
    if (!known) model_search = start_model_search(data.address, request);
    orvctl::HandlePtr handle;
    data.open_result = orvctl::open_printer(data.address, request, handle, &data.open_problem);
    if (data.open_result != ORV_OK && data.open_problem.empty()) {
      orvctl::FailureContext context{orvctl::Step::kOpen, data.address, request.timeout_ms,
                                     request.retries, {}};
      context.snmpv3 = request.v3.enabled();
      data.open_problem = orvctl::describe_result(data.open_result, context);
    }
    if (data.open_result == ORV_OK) read_everything(handle.get(), data, abandoned);
    if (model_search.valid()) known = printer_found(model_search.get(), data.address, request, models);
    if (known) data.model = known->model;
    // Spelling the identifier out through the prefix test takes hundreds of
    // calls; the search's answer already carries it.
    if (data.open_result == ORV_OK) {
      data.sys_object_id = known && !known->sys_object_id.empty()
                               ? known->sys_object_id
                               : opened_sys_object_id(handle.get());
    }
  }
  data.duration_seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return data;
}

}  // namespace orv_exporter
