// orv_exporter run as a service is run: reloads by SIGHUP and POST
// /-/reload, a SIGTERM while a probe is in flight.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "support/exporter_process.h"
#include "support/lab.h"

namespace orv::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kOneAuth = "auths:\n  public: {community: public}\n";
constexpr const char* kTwoAuths =
    "auths:\n  public: {community: public}\n  second: {community: printer-b}\n";

// POST /-/reload through curl; its HTTP status.
int post_reload(int port) {
  const RunResult r = run({"curl", "-s", "-o", "/dev/null", "-w", "%{http_code}", "-X", "POST",
                           "http://127.0.0.1:" + std::to_string(port) + "/-/reload"});
  return r.out.empty() ? 0 : std::stoi(r.out);
}

TEST(ExporterOperations, ReloadTakesAGoodFileAndKeepsTheOldOneForABadFile) {
  ORV_REQUIRE_LAB(false, {"curl"});
  Exporter exporter({.program = ORV_EXPORTER_PATH, .config = kOneAuth});
  // A probe of a loopback address where nothing answers: the auth decides
  // between 200 (orv_up 0) and 400 (unknown auth).
  const std::string silent = free_loopback_address();
  const auto auth_status = [&](const char* auth) {
    return http_get("127.0.0.1", exporter.port(),
                    "/probe?target=" + silent + "&auth=" + auth,
                    {{"X-Prometheus-Scrape-Timeout-Seconds", "0.4"}})
        .status;
  };
  struct Step {
    const char* file;
    bool by_signal;
    int reload_status;  // of POST /-/reload
    int second_status;  // of a probe with auth=second afterwards
  };
  const Step steps[] = {{kTwoAuths, true, 0, 200},
                        {"auths: [unclosed\n", false, 500, 200},
                        {"auths:\n  public: {community: 7, unknown: 1}\n", true, 0, 200},
                        {kOneAuth, false, 200, 400}};
  for (const Step& step : steps) {
    std::ofstream(exporter.config_file()) << step.file;
    if (step.by_signal) {
      ::kill(exporter.pid(), SIGHUP);
      int status = 0;
      for (int i = 0; i < 50 && status != step.second_status; ++i) {
        std::this_thread::sleep_for(100ms);
        status = auth_status("second");
      }
    } else {
      EXPECT_EQ(post_reload(exporter.port()), step.reload_status) << step.file;
    }
    EXPECT_EQ(auth_status("second"), step.second_status) << step.file;
    EXPECT_EQ(auth_status("public"), 200) << step.file;
  }
  EXPECT_NE(exporter.log().find("reload failed"), std::string::npos) << exporter.log();
  const ChildExit end = exporter.stop();
  EXPECT_EQ(end.code, 0) << "a SIGHUP must not end it";
}

TEST(ExporterOperations, SigtermLetsTheProbeInFlightAnswerAndRefusesNewConnections) {
  ORV_REQUIRE_LAB(true, {});
  // A printer that takes every request and answers none (no agent another
  // test starts may take its address meanwhile).
  const std::string silent = free_loopback_address();
  const int swallow = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(161);
  inet_pton(AF_INET, silent.c_str(), &at.sin_addr);
  ASSERT_EQ(bind(swallow, reinterpret_cast<sockaddr*>(&at), sizeof at), 0) << silent;
  Exporter exporter({.program = ORV_EXPORTER_PATH, .config = kOneAuth});
  const int port = exporter.port();
  HttpResponse in_flight;
  // 2 s of a 3 s scrape go to the silent printer.
  std::thread probe([&] { in_flight = exporter.probe(silent, "3"); });
  std::this_thread::sleep_for(500ms);
  ::kill(exporter.pid(), SIGTERM);
  std::this_thread::sleep_for(300ms);
  const HttpResponse after = http_get("127.0.0.1", port, "/metrics", {}, 1000);
  probe.join();
  EXPECT_EQ(in_flight.status, 200) << in_flight.error;
  EXPECT_NE(in_flight.body.find("orv_up"), std::string::npos) << in_flight.body;
  EXPECT_EQ(after.status, 0) << "a new connection was served after SIGTERM";
  EXPECT_EQ(exporter.stop().code, 0);
  close(swallow);
}

}  // namespace
}  // namespace orv::test
