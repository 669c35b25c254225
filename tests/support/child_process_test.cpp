// Child processes report how they ended; a private Prometheus server answers
// queries through the HTTP client.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>

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
  };
  const Case cases[] = {
      {"exit 3", 3, 0},
      {"exec sleep 30", -1, SIGTERM},
      // Ignores SIGTERM: stop() has to fall back to SIGKILL.
      {"trap '' TERM; sleep 30 & wait", -1, SIGKILL},
      {"trap 'exit 7' TERM; sleep 30 & wait", 7, 0},
  };
  for (const auto& c : cases) {
    ChildProcess child({.argv = {"sh", "-c", c.script}});
    usleep(100 * 1000);  // lets the shell set its traps
    const ChildExit end = child.stop(500);
    EXPECT_EQ(end.code, c.code) << c.script;
    EXPECT_EQ(end.signal, c.signal) << c.script;
  }
}

TEST(ChildProcess, GivenSettingsReplaceInheritedOnes) {
  // Otherwise both entries reach the child, and getenv (the sanitizer
  // runtimes' too) takes the first. A shell in between would merge them, so
  // printenv, which prints every entry of the name, runs directly.
  setenv("ORV_CHILD_SETTING", "inherited", 1);
  const std::string log = ::testing::TempDir() + "orv_child_setting.log";
  std::remove(log.c_str());
  ChildProcess child(
      {.argv = {"printenv", "ORV_CHILD_SETTING"}, .env = {"ORV_CHILD_SETTING=given"}, .log_path = log});
  EXPECT_EQ(child.wait(5000).code, 0);
  EXPECT_EQ(child.output(), "given\n");
  unsetenv("ORV_CHILD_SETTING");
  std::remove(log.c_str());
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
