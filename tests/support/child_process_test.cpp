// Child processes report how they ended; a private Prometheus server answers
// queries through the HTTP client.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include "support/child_process.h"
#include "support/http_get.h"
#include "support/lab.h"
#include "support/prometheus_server.h"

namespace orv::test {
namespace {

TEST(ChildProcess, StopReportsHowTheChildEnded) {
  struct Case {
    std::string script;
    int code;
    int signal;
    std::vector<std::string> env{};
  };
  // A setting given to the child wins over the inherited one.
  setenv("ORV_CHILD_CODE", "1", 1);
  const Case cases[] = {
      {"exit 3", 3, 0},
      {"exit $ORV_CHILD_CODE", 5, 0, {"ORV_CHILD_CODE=5"}},
      {"exec sleep 30", -1, SIGTERM},
      // Ignores SIGTERM: stop() has to fall back to SIGKILL.
      {"trap '' TERM; sleep 30 & wait", -1, SIGKILL},
      {"trap 'exit 7' TERM; sleep 30 & wait", 7, 0},
  };
  for (const auto& c : cases) {
    ChildProcess child({.argv = {"sh", "-c", c.script}, .env = c.env});
    usleep(100 * 1000);  // lets the shell set its traps
    const ChildExit end = child.stop(500);
    EXPECT_EQ(end.code, c.code) << c.script;
    EXPECT_EQ(end.signal, c.signal) << c.script;
  }
  unsetenv("ORV_CHILD_CODE");
}

TEST(PrometheusServer, ScrapesItselfAndAnswersQueries) {
  ORV_REQUIRE_LAB(false, {"prometheus"});
  PrometheusServer prometheus({.scrape_configs = ""});
  // Its own targets page answers through the test's HTTP client.
  const HttpResponse page = http_get("127.0.0.1", prometheus.port(), "/api/v1/targets");
  EXPECT_EQ(page.status, 200) << page.error;
  EXPECT_NE(page.body.find("\"status\":\"success\""), std::string::npos) << page.body;
  EXPECT_EQ(prometheus.query("vector(42)")[0]["value"][1], "42");
  EXPECT_THROW(prometheus.query("sum("), std::runtime_error);
}

}  // namespace
}  // namespace orv::test
