#include "fleet_metrics.h"

#include <prometheus/metric_family.h>
#include <prometheus/text_serializer.h>

#include <vector>

#include "fleet_text.h"
#include "marker_names.h"

namespace orv_exporter {
namespace {

using FleetLabels = std::vector<prometheus::ClientMetric::Label>;

// Families in the order they are first named; each sample appended.
class FleetFamilies {
 public:
  void add(const std::string& name, const char* help, prometheus::MetricType type,
           FleetLabels labels, double value) {
    prometheus::MetricFamily* family = nullptr;
    for (prometheus::MetricFamily& f : families_) {
      if (f.name == name) family = &f;
    }
    if (family == nullptr) family = &families_.emplace_back();
    family->name = name;
    family->help = help;
    family->type = type;
    prometheus::ClientMetric& metric = family->metric.emplace_back();
    metric.label = std::move(labels);
    if (type == prometheus::MetricType::Counter) {
      metric.counter.value = value;
    } else {
      metric.gauge.value = value;
    }
  }
  std::string text() const {
    return families_.empty() ? std::string() : prometheus::TextSerializer().Serialize(families_);
  }

 private:
  std::vector<prometheus::MetricFamily> families_;
};

// Counters named after their unit where it counts pages; the other units
// share one name and say theirs in a label.
void marker_metrics(FleetFamilies& m, const ProbeData& d) {
  for (const OrvMarkerInfo& marker : d.markers) {
    const std::string unit = counter_unit_label(marker.counter_unit);
    const bool pages = counts_pages(marker.counter_unit);
    FleetLabels labels = {{"marker", std::to_string(marker.marker_index)}};
    if (!pages) labels.push_back({"unit", unit});
    const std::string stem = pages ? "_" + unit + "_total" : "_total";
    struct Count {
      const char* name;
      const char* help;
      uint32_t value;
    };
    const Count counts[] = {
        {"orv_marker_life", "prtMarkerLifeCount: what the marker produced in its life.",
         marker.life_count},
        {"orv_marker_power_on",
         "prtMarkerPowerOnCount: what the marker produced since the printer was switched on.",
         marker.power_on_count}};
    for (const Count& count : counts) {
      if (count.value == kCounterNotGiven) continue;
      m.add(count.name + stem, count.help, prometheus::MetricType::Counter, labels, count.value);
    }
  }
}

void supply_metrics(FleetFamilies& m, const ProbeData& d) {
  for (const OrvSupplyInfo& s : d.supplies) {
    const FleetLabels labels = {{"index", std::to_string(s.supply_index)},
                                {"type", supply_type_label(s.type)},
                                {"colorant", fleet_text(s.colorant, d.char_set)},
                                {"description", fleet_text(s.description, d.char_set)}};
    m.add("orv_supply_level",
          "prtMarkerSuppliesLevel (-1 other, -2 unknown, -3 some left); the "
          "space left in a "
          "receptacle such as a waste container.",
          prometheus::MetricType::Gauge, labels, s.level);
    m.add("orv_supply_max_capacity", "prtMarkerSuppliesMaxCapacity.", prometheus::MetricType::Gauge,
          labels, s.max_capacity);
    const double ratio = supply_ratio(s);
    if (ratio >= 0) {
      m.add("orv_supply_level_ratio", "The supply's level as a share of its capacity.",
            prometheus::MetricType::Gauge, labels, ratio);
    }
  }
}

void state_metrics(FleetFamilies& m, const ProbeData& d) {
  if (!d.state) return;
  for (int32_t state = 0; state < ORV_PRINTER_STATE_COUNT; ++state) {
    m.add("orv_printer_state",
          "The printer's overall state from its device status, printer status "
          "and detected "
          "errors; 1 for the current one.",
          prometheus::MetricType::Gauge, {{"state", OrvPrinterStateName(state)}},
          d.state->state == state ? 1 : 0);
  }
}

}  // namespace

std::string supply_type_label(int32_t code) {
  const std::string word = orvctl::supply_type_word(code);
  return word.empty() ? std::to_string(code) : word;
}

std::string counter_unit_label(int32_t code) {
  const std::string named = orvctl::counter_unit_name(code);  // "NAME (CODE)"
  return named.rfind("unknown (", 0) == 0 ? std::to_string(code)
                                          : named.substr(0, named.rfind(" ("));
}

bool counts_pages(int32_t counter_unit) {
  return counter_unit == ORV_COUNTER_UNIT_IMPRESSIONS || counter_unit == ORV_COUNTER_UNIT_SHEETS;
}

double supply_ratio(const OrvSupplyInfo& supply) {
  if (supply.level < 0 || supply.max_capacity <= 0) return -1;
  const double ratio = static_cast<double>(supply.level) / supply.max_capacity;
  return ratio > 1 ? 1 : ratio;
}

std::string fleet_exposition(const ProbeData& data) {
  FleetFamilies m;
  marker_metrics(m, data);
  supply_metrics(m, data);
  state_metrics(m, data);
  return m.text();
}

}  // namespace orv_exporter
