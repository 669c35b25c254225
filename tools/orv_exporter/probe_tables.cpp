#include "probe_tables.h"

#include "group_workers.h"

#include <orv/orv_ext.h>

#include <array>
#include <future>
#include <optional>
#include <utility>

namespace orv_exporter {
namespace {

// The option keys that say whether a part is installed.
constexpr const char* kInstalledKeys[] = {"HardDisk", "RamDisk",   "DuplexModule", "Scanner",
                                          "Copier",   "InTrayMSI", "InTrayEx1",    "InTrayEx2"};

template <typename Record>
int32_t read_table(OrvHandle handle, int32_t (*count)(OrvHandle, int32_t*),
                   int32_t (*get)(OrvHandle, uint32_t, Record*), std::vector<Record>& out) {
  int32_t n = 0;
  int32_t rc = count(handle, &n);
  if (rc != ORV_OK) return rc;
  for (uint32_t i = 0; i < static_cast<uint32_t>(n < 0 ? 0 : n); ++i) {
    Record record{};
    rc = get(handle, i, &record);
    if (rc != ORV_OK) return rc;
    out.push_back(record);
  }
  return ORV_OK;
}

template <typename Record>
int32_t read_record(OrvHandle handle, int32_t (*get)(OrvHandle, Record*),
                    std::optional<Record>& out) {
  Record record{};
  const int32_t rc = get(handle, &record);
  if (rc == ORV_OK) out = record;
  return rc;
}

int32_t refresh_options(OrvHandle handle, PrinterOptions& out) {
  int32_t rc = OrvRefreshOptions(handle);
  if (rc != ORV_OK) return rc;
  nlohmann::json options;
  std::string failed_key;
  rc = orvctl::read_printer_options(handle, options, failed_key);
  if (rc != ORV_OK) return rc;
  out.sys_name = options["SysName"].get<std::string>();
  out.rom_version = options["PrinterRomVersion"].get<std::string>();
  out.memory_kbytes = options["MemorySizeInKByte"].get<int32_t>();
  for (const char* key : kInstalledKeys) out.installed.emplace_back(key, options[key].get<bool>());
  return orvctl::read_input_trays(handle, out.option_trays, failed_key);
}

// The options as kept since the printer last started, else read afresh
// (and kept when the printer tells its uptime).
int32_t read_options(OrvHandle handle, ProbeData& data, const orvctl::RequestSettings& view,
                     ModelBook& models) {
  uint32_t up_time = 0;
  const bool timed = OrvGetSysUpTime(handle, &up_time) == ORV_OK;
  std::optional<PrinterOptions> options;
  if (timed) options = models.find_options(data.address, view, up_time);
  int32_t rc = ORV_OK;
  if (!options) {
    options.emplace();
    rc = refresh_options(handle, *options);
    if (rc == ORV_OK && timed) models.remember_options(data.address, view, *options, up_time);
  }
  data.sys_name = options->sys_name;
  data.rom_version = options->rom_version;
  data.memory_kbytes = options->memory_kbytes;
  data.installed = options->installed;
  data.option_trays = options->option_trays;
  return rc;
}

// Job states only: the localized texts cost three exchanges a job.
int32_t read_jobs(OrvHandle handle, ProbeData& data) {
  std::vector<OrvJobInfo> jobs;
  const int32_t rc = read_table<OrvJobInfo>(
      handle, [](OrvHandle h, int32_t* n) { return OrvGetNumberOfJobStates(h, ORV_JOBS_ALL, n); },
      OrvGetJobInfo, jobs);
  for (const OrvJobInfo& job : jobs) data.job_states.push_back(job.state);
  return rc;
}

struct Step {
  const char* table;
  size_t group;  // steps of one group run in turn on one handle
  std::function<int32_t(OrvHandle)> read;
};
constexpr size_t kGroups = 3;

}  // namespace

void read_everything(OrvHandle main, const ExtraHandle& extra, ProbeData& data,
                     const orvctl::RequestSettings& view, ModelBook& models,
                     const std::atomic<bool>& abandoned, std::vector<orvctl::HandlePtr>& used) {
  ProbeData& d = data;
  // In the order their results are listed; groups of about equal exchanges
  // once the tables' sizes are known (one each, jobs and supplies two).
  const Step steps[] = {
      {"options", 0, [&](OrvHandle h) { return read_options(h, d, view, models); }},
      {"printer", 0, [&](OrvHandle h) { return read_record(h, OrvGetPrinterInfo, d.printer); }},
      {"storage", 0,
       [&](OrvHandle h) {
         return read_table(h, OrvGetNumberOfStorageInfo, OrvGetStorageInfo, d.storage);
       }},
      {"input_trays", 2,
       [&](OrvHandle h) {
         return read_table(h, OrvGetNumberOfInputTrayInfo, OrvGetInputTrayInfo, d.input_trays);
       }},
      {"output_trays", 1,
       [&](OrvHandle h) {
         return read_table(h, OrvGetNumberOfOutputTrayInfo, OrvGetOutputTrayInfo, d.output_trays);
       }},
      {"toner", 2,
       [&](OrvHandle h) { return read_table(h, OrvGetNumberOfTonerInfo, OrvGetTonerInfo, d.toner); }},
      {"alerts", 1,
       [&](OrvHandle h) { return read_table(h, OrvGetNumberOfAlertInfo, OrvGetAlertInfo, d.alerts); }},
      {"jobs", 1, [&](OrvHandle h) { return read_jobs(h, d); }},
      {"markers", 2,
       [&](OrvHandle h) {
         return read_table(h, OrvGetNumberOfMarkerInfo, OrvGetMarkerInfo, d.markers);
       }},
      {"supplies", 2,
       [&](OrvHandle h) {
         return read_table(h, OrvGetNumberOfSupplyInfo, OrvGetSupplyInfo, d.supplies);
       }},
      {"state", 0, [&](OrvHandle h) { return read_record(h, OrvGetPrinterState, d.state); }},
  };
  std::array<std::optional<int32_t>, std::size(steps)> codes;
  // Runs group `g` on `h`; true when every reading of it succeeded.
  auto run_group = [&](size_t g, OrvHandle h) {
    bool all_ok = true;
    for (size_t i = 0; i < std::size(steps); ++i) {
      if (steps[i].group != g || abandoned.load()) continue;
      codes[i] = steps[i].read(h);
      all_ok = all_ok && *codes[i] == ORV_OK;
    }
    return all_ok;
  };
  std::vector<std::pair<size_t, std::future<orvctl::HandlePtr>>> others;
  for (size_t g = 1; g < kGroups; ++g) {
    others.emplace_back(g, GroupWorkers::shared().run([&, g]() -> orvctl::HandlePtr {
      orvctl::HandlePtr h = extra();
      if (!h || !run_group(g, h.get())) return {};
      return h;
    }));
  }
  run_group(0, main);
  for (auto& [g, pending] : others) {
    orvctl::HandlePtr h = pending.get();
    if (h) {
      used.push_back(std::move(h));
      continue;
    }
    // No handle of its own, or a reading failed on it: what is missing is
    // read (again) on the first handle.
    bool missing = false;
    for (size_t i = 0; i < std::size(steps); ++i) missing = missing || (steps[i].group == g && !codes[i]);
    if (missing) run_group(g, main);
  }
  for (size_t i = 0; i < std::size(steps); ++i) {
    if (codes[i]) data.tables.push_back({steps[i].table, *codes[i]});
  }
}

}  // namespace orv_exporter
