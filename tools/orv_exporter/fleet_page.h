// The pages a person reads: the fleet page (/), a card per printer, and a
// printer's page (/printer?target=ADDRESS) with its status tables. Plain
// HTML with its CSS inline and no script or outside asset, so that it works
// on a network without the Internet and in any browser; every colour has
// its words beside it.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "page_cache.h"

namespace orv_exporter {

using TimePoint = std::chrono::system_clock::time_point;

// Cards on one fleet page: a large fleet is paged so that each page stays
// well under 100 kB.
constexpr size_t kCardsPerPage = 24;

// `refresh` is how often the browser reloads the page by itself. The
// printers needing attention come first; `page` counts from 1 (one past the
// last shows the last).
std::string fleet_page(std::vector<Reading> readings, TimePoint now, std::chrono::seconds refresh,
                       size_t page = 1);
std::string printer_page(const Reading& reading, TimePoint now, std::chrono::seconds refresh);

}  // namespace orv_exporter
