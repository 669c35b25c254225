#include "exporter_page.h"

namespace orv_exporter {

const std::string& index_page() {
  static const std::string page = R"(<!DOCTYPE html>
<html>
<head><title>orv_exporter</title></head>
<body>
<h1>orv_exporter</h1>
<p>Printer metrics for Prometheus.</p>
<ul>
<li><a href="/probe?target=192.0.2.1">/probe?target=ADDRESS[&amp;auth=NAME]</a>: one printer's metrics</li>
<li><a href="/discover">/discover</a>: the supported printers, for http_sd_configs</li>
<li><a href="/metrics">/metrics</a>: the exporter's own metrics</li>
</ul>
</body>
</html>
)";
  return page;
}

}  // namespace orv_exporter
