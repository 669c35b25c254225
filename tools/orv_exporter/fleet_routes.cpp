// The routes of the pages a person reads, kept apart from the server's
// plumbing: they only gather readings and hand them to fleet_page.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "exporter_server.h"
#include "fleet_page.h"

namespace orv_exporter {

Response ExporterServer::page(const HttpRequest& request) {
  constexpr const char* kHtml = "text/html; charset=utf-8";
  const std::shared_ptr<Loaded> loaded = this->loaded();
  // The browser reloads as often as a reading may be new, at most once a
  // second.
  const auto refresh =
      std::max(std::chrono::seconds(1),
               std::chrono::duration_cast<std::chrono::seconds>(loaded->config.web.page_max_age));
  if (request.path == "/printer") {
    const std::vector<std::string> targets = request.parameters("target");
    if (targets.size() != 1 || targets.front().empty()) {
      return text_response(400, "give the target parameter once");
    }
    const Reading reading = pages_.reading(bare_target(targets.front()));
    if (!reading.data.refusal.empty()) return text_response(400, reading.data.refusal);
    return {200, kHtml, printer_page(reading, std::chrono::system_clock::now(), refresh), {}};
  }
  std::vector<std::string> targets;
  // What /discover last found: a page view never sends a search itself.
  for (const ListedPrinter& listed : loaded->discovery.last_printers()) {
    targets.push_back(listed.printer.address);
  }
  std::vector<Reading> readings = pages_.readings(targets);
  // A refused target asked for on /printer is no printer of the fleet.
  std::erase_if(readings, [](const Reading& r) { return !r.data.refusal.empty(); });
  const std::vector<std::string> pages = request.parameters("page");
  size_t page = 1;
  if (!pages.empty()) {
    // Anything but a page number shows the first page.
    const std::string& text = pages.front();
    if (!text.empty() && text.size() < 9 && text.find_first_not_of("0123456789") == std::string::npos) {
      page = std::stoul(text);
    }
  }
  return {200, kHtml,
          fleet_page(std::move(readings), std::chrono::system_clock::now(), refresh, page), {}};
}

}  // namespace orv_exporter
