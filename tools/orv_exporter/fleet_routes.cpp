// The routes of the pages a person reads, kept apart from the server's
// plumbing: they only gather readings and hand them to fleet_page.
#include <algorithm>

#include "exporter_server.h"
#include "fleet_page.h"

namespace orv_exporter {

Response ExporterServer::page(const std::string& path, const std::string& query) {
  constexpr const char* kHtml = "text/html; charset=utf-8";
  // The browser reloads as often as a reading may be new, at most once a
  // second.
  const auto refresh =
      std::max(std::chrono::seconds(1),
               std::chrono::duration_cast<std::chrono::seconds>(config_.web.page_max_age));
  if (path == "/printer") {
    const std::optional<std::string> target = query_parameter(query, "target");
    if (!target || target->empty()) {
      return {400, "text/plain; charset=utf-8", "the target parameter is missing\n"};
    }
    const Reading reading = pages_.reading(bare_target(*target));
    if (!reading.data.refusal.empty()) {
      return {400, "text/plain; charset=utf-8", reading.data.refusal + "\n"};
    }
    return {200, kHtml, printer_page(reading, std::chrono::system_clock::now(), refresh)};
  }
  std::vector<std::string> targets;
  // What /discover last found: a page view never sends a search itself.
  for (const ListedPrinter& listed : discovery_.last_printers()) {
    targets.push_back(listed.printer.address);
  }
  std::vector<Reading> readings = pages_.readings(targets);
  // A refused target asked for on /printer is no printer of the fleet.
  std::erase_if(readings, [](const Reading& r) { return !r.data.refusal.empty(); });
  return {200, kHtml, fleet_page(readings, std::chrono::system_clock::now(), refresh)};
}

}  // namespace orv_exporter
