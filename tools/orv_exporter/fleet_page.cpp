#include "fleet_page.h"

#include <algorithm>
#include <cstdint>

#include "fleet_html.h"
#include "fleet_metrics.h"
#include "fleet_text.h"
#include "marker_names.h"
#include "status_names.h"

namespace orv_exporter {
namespace {

constexpr const char* kStyle = R"(
body{font:15px/1.4 system-ui,sans-serif;margin:0;background:#f3f4f6;color:#111}
header,main,footer{padding:12px 20px}header{background:#23303d;color:#fff}
h1{margin:0;font-size:22px}a{color:#0645ad}header a{color:#fff}
.cards{display:grid;grid-template-columns:repeat(auto-fill,minmax(330px,1fr));gap:14px}
article{background:#fff;border:1px solid #ccd;border-radius:6px;padding:12px}
h2{font-size:17px;margin:0 0 4px}h3{font-size:14px;margin:10px 0 4px}
.state{font-weight:600;padding:2px 8px;border-radius:4px;display:inline-block}
.ok{background:#d9f2de;color:#0d5a1e}.busy{background:#dbe8fb;color:#123f86}
.warn{background:#fff0c2;color:#6b4b00}.bad{background:#fbd5d5;color:#8a1010}
.off{background:#e2e3e5;color:#383d41}
ul{margin:0;padding:0;list-style:none}li{margin:2px 0}
.supply{display:grid;grid-template-columns:minmax(8em,20em) 110px 80px;gap:6px;align-items:center}
.bar{height:12px;background:#e6e7ea;border:1px solid #bbb;border-radius:3px;overflow:hidden}
.bar span{display:block;height:100%}
table{border-collapse:collapse;margin:4px 0 10px;background:#fff}
th,td{border:1px solid #ccd;padding:3px 8px;text-align:left}th{background:#eef0f3}
.meta{color:#444;font-size:13px})";

// A MIB name without its "(CODE)" tail, as a person reads it.
std::string bare_word(const std::string& with_code) {
  return with_code.substr(0, with_code.rfind(" ("));
}

std::string state_html(const ProbeData& d) {
  if (d.open_result != ORV_OK) {
    return "<p class=\"state bad\">Not answering (code " + std::to_string(d.open_result) +
           ")</p><p class=\"meta\">" + html_escape(d.open_problem) + "</p>";
  }
  if (!d.state) return "<p class=\"state off\">State unknown</p>";
  const StateLook look = state_look(d.state->state, d.state->conditions);
  return "<p class=\"state " + std::string(look.css_class) + "\">" + html_escape(look.words) +
         "</p>";
}

std::string supply_name(const OrvSupplyInfo& s, int32_t char_set) {
  const std::string colorant = fleet_text(s.colorant, char_set);
  std::string name = fleet_text(s.description, char_set);
  if (name.empty()) name = supply_type_label(s.type);
  return colorant.empty() ? name : name + " (" + colorant + ")";
}

std::string supplies_html(const ProbeData& d) {
  if (d.supplies.empty()) return {};
  std::string out = "<h3>Supplies</h3><ul>";
  for (const OrvSupplyInfo& s : d.supplies) {
    const double ratio = supply_ratio(s);
    const int width = ratio < 0 ? 0 : static_cast<int>(ratio * 100 + 0.5);
    out +=
        "<li class=\"supply\"><span>" + html_escape(supply_name(s, d.char_set)) +
        "</span><span class=\"bar\" aria-hidden=\"true\"><span style=\"width:" +
        std::to_string(width) + "%;background:" + colorant_css(fleet_text(s.colorant, d.char_set)) +
        "\"></span></span><span>" + orvctl::level_text(s.level, s.max_capacity) +
        // A receptacle (waste) tells the room left, not what is left to use.
        (s.supply_class == ORV_SUPPLY_CLASS_FILLED && s.level >= 0 ? " free" : "") + "</span></li>";
  }
  return out + "</ul>";
}

std::string trays_html(const ProbeData& d) {
  if (d.input_trays.empty()) return {};
  std::string out = "<h3>Paper trays</h3><ul>";
  for (const OrvInputTrayInfo& t : d.input_trays) {
    out += "<li>" + html_escape(fleet_text(t.name, d.char_set)) + ": " +
           orvctl::level_text(t.current_level, t.max_capacity) + "</li>";
  }
  return out + "</ul>";
}

std::string alerts_html(const ProbeData& d) {
  if (d.alerts.empty()) return "<h3>Alerts</h3><p>None</p>";
  std::string out = "<h3>Alerts</h3><ul>";
  for (const OrvAlertInfo& a : d.alerts) {
    out += "<li>" + html_escape(bare_word(orvctl::alert_severity_name(a.severity_level))) + ": " +
           html_escape(fleet_text(a.description, d.char_set)) + "</li>";
  }
  return out + "</ul>";
}

// The pages printed: the life counts of the markers that count pages; a
// marker that counts in another unit says which.
std::string pages_html(const ProbeData& d) {
  uint64_t pages = 0;
  bool counted = false;
  std::string other;
  for (const OrvMarkerInfo& m : d.markers) {
    if (m.life_count == kCounterNotGiven) continue;
    if (counts_pages(m.counter_unit)) {
      pages += m.life_count;
      counted = true;
    } else {
      other += "<p>Marker " + std::to_string(m.marker_index) + " count: <strong>" +
               std::to_string(m.life_count) + "</strong> " + counter_unit_label(m.counter_unit) +
               "</p>";
    }
  }
  if (!counted) return other;
  return "<p>Pages printed: <strong class=\"pages\">" + std::to_string(pages) + "</strong></p>" +
         other;
}

std::string card_html(const Reading& r, TimePoint now, bool link) {
  const ProbeData& d = r.data;
  const std::string model = d.model.empty() ? "Printer" : d.model;
  const std::string address = html_escape(r.target);
  const auto age = std::chrono::duration_cast<std::chrono::seconds>(now - r.read_at).count();
  std::string out =
      "<article data-target=\"" + address + "\"><h2>" + html_escape(model) + "</h2><p>" +
      (link ? "<a href=\"/printer?target=" + url_encode(r.target) + "\">" + address + "</a>"
            : address) +
      (d.sys_name.empty() ? "" : " · " + html_escape(fleet_text(d.sys_name, d.char_set))) + "</p>" +
      state_html(d);
  if (d.open_result == ORV_OK) {
    out += supplies_html(d) + trays_html(d) + alerts_html(d) + pages_html(d);
  }
  return out + "<p class=\"meta\">Read at <time>" + utc_text(r.read_at) + "</time> (" +
         std::to_string(age < 0 ? 0 : age) + " s ago)</p></article>";
}

std::string html_document(const std::string& title, const std::string& body,
                          std::chrono::seconds refresh) {
  return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
         "<meta name=\"viewport\" "
         "content=\"width=device-width,initial-scale=1\">"
         "<meta http-equiv=\"refresh\" content=\"" +
         std::to_string(refresh.count()) + "\"><title>" + html_escape(title) + "</title><style>" +
         kStyle + "</style></head><body>" + body +
         "<footer class=\"meta\"><a href=\"/\">All printers</a> · <a "
         "href=\"/discover\">/discover</a>"
         " · <a href=\"/metrics\">/metrics</a> · "
         "/probe?target=ADDRESS[&amp;auth=NAME] for "
         "Prometheus</footer></body></html>\n";
}

template <typename Row, typename Cells>
std::string table_html(const char* caption, const char* headers, const std::vector<Row>& rows,
                       Cells cells) {
  std::string out =
      std::string("<table><caption>") + caption + "</caption><tr>" + headers + "</tr>";
  for (const Row& row : rows) out += "<tr>" + cells(row) + "</tr>";
  return out + "</table>";
}

std::string cell(const std::string& text) { return "<td>" + html_escape(text) + "</td>"; }

std::string status_tables(const ProbeData& d) {
  const int32_t cs = d.char_set;
  std::string out = table_html(
      "Supplies",
      "<th scope=\"col\">Index</th><th scope=\"col\">Type</th><th "
      "scope=\"col\">Colorant</th>"
      "<th scope=\"col\">Description</th><th scope=\"col\">Level</th><th "
      "scope=\"col\">Capacity</th><th scope=\"col\">Left</th>",
      d.supplies, [cs](const OrvSupplyInfo& s) {
        return cell(std::to_string(s.supply_index)) + cell(orvctl::supply_type_name(s.type)) +
               cell(fleet_text(s.colorant, cs)) + cell(fleet_text(s.description, cs)) +
               cell(std::to_string(s.level)) + cell(std::to_string(s.max_capacity)) +
               cell(orvctl::level_text(s.level, s.max_capacity));
      });
  out += table_html("Markers",
                    "<th scope=\"col\">Marker</th><th "
                    "scope=\"col\">Unit</th><th scope=\"col\">Life "
                    "count</th><th scope=\"col\">Since power on</th>",
                    d.markers, [](const OrvMarkerInfo& m) {
                      return cell(std::to_string(m.marker_index)) +
                             cell(orvctl::counter_unit_name(m.counter_unit)) +
                             cell(std::to_string(m.life_count)) +
                             cell(std::to_string(m.power_on_count));
                    });
  out += table_html("Input trays",
                    "<th scope=\"col\">Name</th><th scope=\"col\">Medium</th><th "
                    "scope=\"col\">Level</th><th "
                    "scope=\"col\">Capacity</th><th scope=\"col\">Status</th>",
                    d.input_trays, [cs](const OrvInputTrayInfo& t) {
                      return cell(fleet_text(t.name, cs)) + cell(fleet_text(t.media_name, cs)) +
                             cell(orvctl::level_text(t.current_level, t.max_capacity)) +
                             cell(std::to_string(t.max_capacity)) +
                             cell(orvctl::sub_unit_status_name(t.status));
                    });
  out += table_html("Output trays", "<th scope=\"col\">Name</th><th scope=\"col\">Status</th>",
                    d.output_trays, [cs](const OrvOutputTrayInfo& t) {
                      return cell(fleet_text(t.name, cs)) +
                             cell(orvctl::sub_unit_status_name(t.status));
                    });
  return out + table_html("Alerts",
                          "<th scope=\"col\">Severity</th><th scope=\"col\">Group</th><th "
                          "scope=\"col\">Description</th>",
                          d.alerts, [cs](const OrvAlertInfo& a) {
                            return cell(orvctl::alert_severity_name(a.severity_level)) +
                                   cell(orvctl::alert_group_name(a.group)) +
                                   cell(fleet_text(a.description, cs));
                          });
}

}  // namespace

std::string fleet_page(std::vector<Reading> readings, TimePoint now, std::chrono::seconds refresh,
                       size_t page) {
  const auto fine = [](const Reading& r) {
    return r.data.open_result == ORV_OK && r.data.state &&
           (r.data.state->state == ORV_PRINTER_STATE_IDLE ||
            r.data.state->state == ORV_PRINTER_STATE_PRINTING);
  };
  const auto first_fine = std::stable_partition(readings.begin(), readings.end(),
                                                [&](const Reading& r) { return !fine(r); });
  const auto attention = static_cast<size_t>(first_fine - readings.begin());
  const size_t pages = std::max<size_t>(1, (readings.size() + kCardsPerPage - 1) / kCardsPerPage);
  page = std::clamp<size_t>(page, 1, pages);
  const size_t first = (page - 1) * kCardsPerPage;
  const size_t last = std::min(readings.size(), first + kCardsPerPage);
  std::string cards;
  for (size_t i = first; i < last; ++i) cards += card_html(readings[i], now, true);
  std::string summary = std::to_string(readings.size()) +
                        (readings.size() == 1 ? " printer, " : " printers, ") +
                        std::to_string(attention) + " needing attention";
  std::string nav;
  if (pages > 1) {
    summary += "; " + std::to_string(first + 1) + " to " + std::to_string(last) + " shown";
    nav = "<nav aria-label=\"pages\"><p>";
    if (page > 1) nav += "<a href=\"/?page=" + std::to_string(page - 1) + "\">previous</a> ";
    nav += "page " + std::to_string(page) + " of " + std::to_string(pages);
    if (page < pages) nav += " <a href=\"/?page=" + std::to_string(page + 1) + "\">next</a>";
    nav += "</p></nav>";
  }
  return html_document("Printers",
                       "<header><h1>Printers</h1><p>" + summary + "</p></header><main>" +
                           (readings.empty() ? "<p>No printer found yet.</p>"
                                             : "<div class=\"cards\">" + cards + "</div>") +
                           nav + "</main>",
                       refresh);
}

std::string printer_page(const Reading& reading, TimePoint now, std::chrono::seconds refresh) {
  const std::string body = "<header><h1>" + html_escape(reading.target) + "</h1></header><main>" +
                           card_html(reading, now, false) +
                           (reading.data.open_result == ORV_OK ? status_tables(reading.data) : "") +
                           "</main>";
  return html_document("Printer " + reading.target, body, refresh);
}

}  // namespace orv_exporter
