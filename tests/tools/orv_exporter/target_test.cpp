// The exporter sends its communities and SNMPv3 users wherever a client
// points it, so broadcast, multicast, unspecified and denied targets are
// refused (400) before any packet: a listener on the LAN hears none of them.
#include "exporter_harness.h"

namespace {

TEST(ExporterTargets, RefusedTargetsAre400AndSendNothing) {
  ORV_REQUIRE_LAB(true, {"python3", "ip"});
  orv::test::VirtualLan lan({{"client", "198.18.0.1"}, {"p1", "198.18.0.11"}});
  orv::test::ScriptedPeer listener("0.0.0.0:161", {"silent"}, lan.host("p1").netns);
  const std::pair<const char*, const char*> refused[] = {{"255.255.255.255", "broadcast"},
                                                         {"198.18.0.255", "broadcast"},
                                                         {"224.0.0.1", "multicast"},
                                                         {"[ff02::1]", "multicast"},
                                                         {"0.0.0.0", "unspecified"},
                                                         {"198.18.0.12", "in targets.deny"},
                                                         {"198.18.1.7", "not in targets.allow"}};
  lan.run_in("client", [&] {
    exporter_test::RunningExporter exporter(exporter_test::config_from(
        "targets: {allow: [198.18.0.0/24, \"fd00::/8\"], deny: [198.18.0.12]}\n"));
    for (const auto& [target, reason] : refused) {
      const auto answer = exporter.get(std::string("/probe?target=") + target);
      EXPECT_EQ(answer.status, 400) << target << answer.body;
      EXPECT_NE(answer.body.find(reason), std::string::npos) << target << answer.body;
    }
    EXPECT_FALSE(listener.wait_for_datagrams(1, 500));
    // An allowed target reaches the listener, so its silence above counts.
    exporter.get("/probe?target=198.18.0.11", "X-Prometheus-Scrape-Timeout-Seconds: 1\r\n");
  });
  EXPECT_TRUE(listener.wait_for_datagrams(1, 2000));
}

}  // namespace
