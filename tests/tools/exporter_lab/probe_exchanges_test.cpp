// A steady-state probe: few exchanges, counted at the agent, and the same
// series as the first probe of a printer over SNMPv1 (GETNEXT walks,
// options read afresh, a handle opened for it).
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/exporter_process.h"
#include "support/http_get.h"
#include "support/lab.h"
#include "support/light_agent_process.h"

namespace orv::test {
namespace {

constexpr const char* kExchangesConfig = R"(
auths:
  v1:
    community: printer-a
  v1_again:
    community: printer-a
  v2c:
    version: 2c
    community: printer-a
probe:
  timeout: 10s
  retries: 1
)";

// The samples of an exposition, sorted, without comments and the probe's
// own duration.
std::string sorted_series(const std::string& exposition) {
  std::vector<std::string> lines;
  std::istringstream in(exposition);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#' || line.rfind("orv_probe_duration_seconds", 0) == 0) continue;
    lines.push_back(line);
  }
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

TEST(ProbeExchanges, SteadyStateProbesAreFewAndGiveTheSameSeries) {
  ORV_REQUIRE_LAB(true, {"snmpget"});
  LightAgent agent;
  Exporter exporter({.program = ORV_EXPORTER_PATH, .config = kExchangesConfig});
  auto probe = [&](const std::string& auth) {
    const HttpResponse r = http_get("127.0.0.1", exporter.port(),
                                    "/probe?target=" + agent.address() + "&auth=" + auth,
                                    {{"X-Prometheus-Scrape-Timeout-Seconds", "10"}});
    EXPECT_EQ(r.status, 200) << r.error;
    return r.body;
  };
  const std::string first = probe("v1");
  ASSERT_EQ(sample(first, "orv_up"), 1.0) << first;
  const struct {
    const char* auth;
    int64_t most_exchanges;  // 0: not bounded (SNMPv1 walks a row an exchange)
  } cases[] = {{"v2c", 30}, {"v1_again", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.auth);
    probe(c.auth);  // reads the options and sizes the walks
    const int64_t before = agent.requests();
    const std::string steady = probe(c.auth);
    const int64_t exchanges = agent.requests() - before;
    EXPECT_EQ(sorted_series(steady), sorted_series(first));
    if (c.most_exchanges > 0) {
      EXPECT_LE(exchanges, c.most_exchanges);
    }
    EXPECT_GT(exchanges, 0);
  }
}

}  // namespace
}  // namespace orv::test
