#include "probe_metrics.h"

#include <prometheus/metric_family.h>
#include <prometheus/text_serializer.h>

#include <cstring>
#include <map>
#include <vector>

#include "fleet_metrics.h"
#include "media_names.h"
#include "printer_text.h"
#include "state_set.h"
#include "status_names.h"

namespace orv_exporter {
namespace {

using Labels = std::vector<prometheus::ClientMetric::Label>;

constexpr double kBytesPerKByte = 1024.0;

// hrPrinterStatus: other(1), unknown(2), idle(3), printing(4), warmup(5).
constexpr int32_t kPrinterStatusFirst = 1;
constexpr int32_t kPrinterStatusLast = 5;

// A record's fixed-width text, never read past its field, as UTF-8 from the
// printer's character set.
template <size_t N>
std::string field_text(const char (&field)[N], int32_t char_set) {
  return orvctl::printer_text_utf8(std::string_view(field, strnlen(field, N)), char_set);
}

// The MIB name without orvctl's "(CODE)" tail: "idle (3)" -> "idle".
std::string bare_name(const std::string& with_code) {
  const size_t open = with_code.rfind(" (");
  return open == std::string::npos ? with_code : with_code.substr(0, open);
}

// The probe's gauges as prometheus-cpp's metric families, built directly:
// a registry of live gauges (locks, atomics, label maps) is made for
// metrics that are read many times, not for one answer.
class Families {
 public:
  void set(const std::string& name, const char* help, Labels labels, double value) {
    prometheus::MetricFamily& family = named(name, help);
    for (prometheus::ClientMetric& metric : family.metric) {
      if (metric.label == labels) {
        metric.gauge.value = value;
        return;
      }
    }
    prometheus::ClientMetric& metric = family.metric.emplace_back();
    metric.label = std::move(labels);
    metric.gauge.value = value;
  }
  // The state-set form: `label` holds each state, the value says which is current.
  void set_states(const std::string& name, const char* help, const std::string& label,
                  const std::vector<std::pair<std::string, double>>& states) {
    for (const auto& [state, value] : states) set(name, help, {{label, state}}, value);
  }
  std::string text() const { return prometheus::TextSerializer().Serialize(families_); }

 private:
  prometheus::MetricFamily& named(const std::string& name, const char* help) {
    for (prometheus::MetricFamily& family : families_) {
      if (family.name == name) return family;
    }
    prometheus::MetricFamily& family = families_.emplace_back();
    family.name = name;
    family.help = help;
    family.type = prometheus::MetricType::Gauge;
    return family;
  }

  std::vector<prometheus::MetricFamily> families_;
};

std::string printer_label_text(const std::string& text, const ProbeData& d) {
  return orvctl::printer_text_utf8(text, d.char_set);
}

void printer_metrics(Families& m, const ProbeData& d) {
  m.set("orv_printer_info", "The printer's identity; always 1.",
        {{"model", printer_label_text(d.model, d)},
         {"sys_object_id", d.sys_object_id},
         {"rom_version", printer_label_text(d.rom_version, d)},
         {"sys_name", printer_label_text(d.sys_name, d)}},
        1);
  if (d.memory_kbytes) {
    m.set("orv_memory_bytes", "Memory installed in the printer.", {},
          *d.memory_kbytes * kBytesPerKByte);
  }
  for (const auto& [key, present] : d.installed) {
    m.set("orv_option_installed", "1 when the optional part is installed.", {{"option", key}},
          present ? 1 : 0);
  }
  if (d.printer) {
    const OrvPrinterInfo& p = *d.printer;
    std::vector<std::string> states;
    for (int32_t code = kPrinterStatusFirst; code <= kPrinterStatusLast; ++code) {
      states.push_back(bare_name(orvctl::printer_status_name(code)));
    }
    m.set_states("orv_printer_status",
                 "1 for the hrPrinterStatus the printer is in, 0 for the others.", "status",
                 state_set(states, bare_name(orvctl::printer_status_name(p.status))));
    const size_t bits = sizeof p.detected_error_state * 8;
    for (size_t bit = 0; bit < bits; ++bit) {
      const bool set = (p.detected_error_state[bit / 8] & (0x80u >> (bit % 8))) != 0;
      // Every named condition is listed; an unnamed bit only when set.
      if (!set && bit >= orvctl::named_error_state_bits()) continue;
      m.set("orv_printer_error", "1 while the hrPrinterDetectedErrorState condition holds.",
            {{"condition", orvctl::error_state_bit_name(bit)}}, set ? 1 : 0);
    }
  }
  for (size_t i = 0; i < d.storage.size(); ++i) {
    const OrvStorageInfo& s = d.storage[i];
    m.set("orv_storage_size_bytes", "hrStorageSize times hrStorageAllocationUnits.",
          {{"index", std::to_string(i + 1)},
           {"type", bare_name(orvctl::storage_type_name(s.type))},
           {"description", field_text(s.description, d.char_set)}},
          static_cast<double>(s.allocation_units) * s.size);
  }
}

void tray_metrics(Families& m, const ProbeData& d) {
  for (size_t i = 0; i < d.input_trays.size(); ++i) {
    const OrvInputTrayInfo& t = d.input_trays[i];
    const Labels labels = {{"index", std::to_string(i + 1)},
                           {"name", field_text(t.name, d.char_set)}};
    m.set("orv_input_tray_level", "prtInputCurrentLevel (-2 unknown, -3 some left).", labels,
          t.current_level);
    m.set("orv_input_tray_max_capacity", "prtInputMaxCapacity.", labels, t.max_capacity);
    m.set("orv_input_tray_status", "prtInputStatus.", labels, t.status);
  }
  // The option trays are the same rows in the same order.
  for (size_t i = 0; i < d.option_trays.size(); ++i) {
    const orvctl::InputTray& t = d.option_trays[i];
    const std::string size = orvctl::medium_size_name(t.media_size);
    m.set("orv_input_tray_media_info", "The medium a tray holds; always 1.",
          {{"index", std::to_string(i + 1)},
           {"name", printer_label_text(t.name, d)},
           {"media_size", size.empty() ? "unknown" : size},
           {"media_type", printer_label_text(t.media_type, d)}},
          1);
  }
  for (size_t i = 0; i < d.output_trays.size(); ++i) {
    const OrvOutputTrayInfo& t = d.output_trays[i];
    m.set("orv_output_tray_status", "prtOutputStatus.",
          {{"index", std::to_string(i + 1)}, {"name", field_text(t.name, d.char_set)}}, t.status);
  }
}

void alert_and_job_metrics(Families& m, const ProbeData& d) {
  std::map<std::pair<std::string, std::string>, int> alerts;
  for (const OrvAlertInfo& a : d.alerts) {
    ++alerts[{bare_name(orvctl::alert_severity_name(a.severity_level)),
              bare_name(orvctl::alert_group_name(a.group))}];
  }
  for (const auto& [key, count] : alerts) {
    m.set("orv_alerts", "Alerts in prtAlertTable by severity and group.",
          {{"severity", key.first}, {"group", key.second}}, count);
  }
  std::map<int32_t, int> jobs;
  for (int32_t state : d.job_states) ++jobs[state];
  for (const auto& [state, count] : jobs) {
    m.set("orv_jobs", "Jobs the printer lists, by job state code.",
          {{"state", std::to_string(state)}}, count);
  }
}

}  // namespace

std::string probe_exposition(const ProbeData& d) {
  Families m;
  m.set("orv_up", "1 when the printer was opened, else 0.", {}, d.open_result == ORV_OK ? 1 : 0);
  m.set("orv_probe_result_code", "How opening the printer ended: 0, or the library's result code.",
        {}, d.open_result);
  m.set("orv_probe_duration_seconds", "How long the probe took.", {}, d.duration_seconds);
  if (d.open_result == ORV_OK) {
    for (const TableResult& t : d.tables) {
      m.set("orv_table_ok", "1 when the table was read, else 0.", {{"table", t.table}},
            t.code == ORV_OK ? 1 : 0);
      m.set("orv_table_result_code", "How reading the table ended: 0, or the library's result code.",
            {{"table", t.table}}, t.code);
    }
    printer_metrics(m, d);
    tray_metrics(m, d);
    alert_and_job_metrics(m, d);
  }
  // Markers, supplies and the overall state come after.
  return m.text() + fleet_exposition(d);
}

}  // namespace orv_exporter
