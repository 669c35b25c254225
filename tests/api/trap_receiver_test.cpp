// The trap receiver as a host uses it, through orv/qel_trap.h, with Net-SNMP's
// snmptrap as the sender: every field of SNMPv1 Traps and SNMPv2c
// notifications, bindings of every value kind, and the argument checks.
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "orv/qel_trap.h"
#include "support/lab.h"

namespace {

struct Binding {
  std::string oid;
  int32_t type = 0;
  std::string text;
  std::vector<uint8_t> bytes;
};

struct Trap {
  int32_t version = -1;
  std::string sender;
  std::string community;
  std::string oid;
  uint32_t timestamp = 0;
  int64_t arrival_ms = 0;
  std::vector<Binding> bindings;
};

// Copies every trap out of its callback.
class Inbox {
 public:
  static void on_trap(const QelTrap* trap, void* context) {
    Trap copy;
    copy.version = qel_trap_version(trap);
    copy.sender = qel_trap_sender(trap);
    copy.community = qel_trap_community(trap);
    copy.oid = qel_trap_oid(trap);
    copy.timestamp = qel_trap_timestamp(trap);
    copy.arrival_ms = qel_trap_arrival(trap);
    for (uint32_t i = 0; i < qel_trap_binding_count(trap); ++i) {
      Binding b{qel_trap_binding_oid(trap, i), qel_trap_binding_type(trap, i), qel_trap_binding_text(trap, i), {}};
      size_t length = 0;
      const uint8_t* bytes = qel_trap_binding_bytes(trap, i, &length);
      if (bytes) b.bytes.assign(bytes, bytes + length);
      copy.bindings.push_back(b);
    }
    auto* inbox = static_cast<Inbox*>(context);
    std::lock_guard lock(inbox->mutex_);
    inbox->traps_.push_back(copy);
    inbox->arrived_.notify_all();
  }
  bool wait_for(size_t n) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::seconds(5), [&] { return traps_.size() >= n; });
  }
  void clear() {
    std::lock_guard lock(mutex_);
    traps_.clear();
  }
  std::vector<Trap> traps() {
    std::lock_guard lock(mutex_);
    return traps_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<Trap> traps_;
};

class TrapReceiver : public ::testing::Test {
 protected:
  void open(int32_t protocol = ORV_PROTOCOL_IPV4) {
    ASSERT_EQ(qel_trap_receiver_open(protocol, 0, &receiver_), ORV_OK);
    ASSERT_EQ(qel_trap_receiver_attach(receiver_, &Inbox::on_trap, &inbox_), ORV_OK);
    ASSERT_EQ(qel_trap_receiver_start(receiver_), ORV_OK);
  }
  void TearDown() override { qel_trap_receiver_close(receiver_); }

  // snmptrap (or `program`) to the receiver's port on loopback.
  void snmptrap(const std::vector<std::string>& version_and_fields, const char* host = "127.0.0.1",
                const char* program = "snmptrap") {
    std::vector<std::string> argv = {program, version_and_fields[0], "-c", "public",
                                     std::string(host) + ":" + std::to_string(qel_trap_receiver_port(receiver_))};
    argv.insert(argv.end(), version_and_fields.begin() + 1, version_and_fields.end());
    const orv::test::RunResult result = orv::test::run(argv);
    ASSERT_EQ(result.exit_code, 0) << result.err;
  }

  QelTrapReceiver* receiver_ = nullptr;
  Inbox inbox_;
};

// One binding of every value kind, as snmptrap arguments and as it must arrive.
struct KindCase {
  const char* snmptrap_type;
  const char* snmptrap_value;
  int32_t tag;
  const char* text;
  std::vector<uint8_t> bytes;
};
const std::vector<KindCase> kKinds = {
    {"i", "-42", 0x02, "-42", {}},
    {"x", "00FF1080", 0x04, "", {0x00, 0xFF, 0x10, 0x80}},
    {"o", "1.3.6.1.4.1.9999.77", 0x06, "1.3.6.1.4.1.9999.77", {}},
    {"a", "192.0.2.7", 0x40, "192.0.2.7", {192, 0, 2, 7}},
    {"c", "4294967295", 0x41, "4294967295", {}},
    {"u", "123456", 0x42, "123456", {}},
    {"t", "99", 0x43, "99", {}},
    {"C", "8589934593", 0x46, "8589934593", {}},
    {"F", "1.5", 0x44, nullptr, {0x9f, 0x78, 0x04, 0x3f, 0xc0, 0x00, 0x00}},  // an Opaque float
};

std::vector<std::string> kind_arguments() {
  std::vector<std::string> args;
  for (size_t i = 0; i < kKinds.size(); ++i) {
    args.push_back("1.3.6.1.4.1.9999.1." + std::to_string(i + 1));
    args.push_back(kKinds[i].snmptrap_type);
    args.push_back(kKinds[i].snmptrap_value);
  }
  return args;
}

void expect_kinds(const std::vector<Binding>& bindings, size_t first) {
  ASSERT_GE(bindings.size(), first + kKinds.size());
  for (size_t i = 0; i < kKinds.size(); ++i) {
    const Binding& b = bindings[first + i];
    const KindCase& k = kKinds[i];
    SCOPED_TRACE(k.snmptrap_type);
    EXPECT_EQ(b.oid, "1.3.6.1.4.1.9999.1." + std::to_string(i + 1));
    EXPECT_EQ(b.type, k.tag);
    if (k.text) {
      EXPECT_EQ(b.text, k.text);
    }
    if (!k.bytes.empty()) {
      EXPECT_EQ(b.bytes, k.bytes);
    }
  }
}

TEST_F(TrapReceiver, SnmpV1TrapsFromSnmptrapArriveWithEveryField) {
  ORV_REQUIRE_LAB(false, {"snmptrap"});
  open();
  std::vector<std::string> specific = {"-v1", "1.3.6.1.4.1.253.8", "127.0.0.1", "6", "17", "4242"};
  for (const std::string& a : kind_arguments()) specific.push_back(a);
  snmptrap(specific);
  snmptrap({"-v1", "1.3.6.1.4.1.253.8", "127.0.0.1", "2", "0", "77"});  // linkDown
  ASSERT_TRUE(inbox_.wait_for(2));
  const std::vector<Trap> traps = inbox_.traps();
  EXPECT_EQ(traps[0].version, QEL_TRAP_VERSION_V1);
  EXPECT_EQ(traps[0].sender, "127.0.0.1");
  EXPECT_EQ(traps[0].oid, "1.3.6.1.4.1.253.8.0.17");
  EXPECT_EQ(traps[0].timestamp, 4242u);
  expect_kinds(traps[0].bindings, 0);
  EXPECT_EQ(traps[1].oid, "1.3.6.1.6.3.1.1.5.3");
  EXPECT_EQ(traps[1].timestamp, 77u);
  EXPECT_EQ(traps[1].bindings.size(), 2u);  // snmpTrapAddress.0, snmpTrapEnterprise.0
}

TEST_F(TrapReceiver, SnmpV2cNotificationsFromSnmptrapArriveOverIpv4AndIpv6) {
  ORV_REQUIRE_LAB(false, {"snmptrap"});
  for (int32_t protocol : {ORV_PROTOCOL_IPV4, ORV_PROTOCOL_IPV6}) {
    const bool ipv6 = protocol == ORV_PROTOCOL_IPV6;
    SCOPED_TRACE(ipv6 ? "IPv6" : "IPv4");
    qel_trap_receiver_close(receiver_);
    receiver_ = nullptr;
    inbox_.clear();
    open(protocol);
    std::vector<std::string> args = {"-v2c", "4242", "1.3.6.1.4.1.253.8.0.5"};
    for (const std::string& a : kind_arguments()) args.push_back(a);
    const auto wall_ms = [] { return std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::system_clock::now().time_since_epoch()).count(); };
    const int64_t sent_ms = wall_ms();
    snmptrap(args, ipv6 ? "udp6:[::1]" : "127.0.0.1");
    ASSERT_TRUE(inbox_.wait_for(1));
    const Trap trap = inbox_.traps()[0];
    EXPECT_GE(trap.arrival_ms, sent_ms);
    EXPECT_LE(trap.arrival_ms, wall_ms());
    EXPECT_EQ(trap.version, QEL_TRAP_VERSION_V2C);
    EXPECT_EQ(trap.sender, ipv6 ? "::1" : "127.0.0.1");
    EXPECT_EQ(trap.oid, "1.3.6.1.4.1.253.8.0.5");
    EXPECT_EQ(trap.timestamp, 4242u);
    ASSERT_GE(trap.bindings.size(), 2u);
    EXPECT_EQ(trap.bindings[0].oid, "1.3.6.1.2.1.1.3.0");
    EXPECT_EQ(trap.bindings[0].text, "4242");
    EXPECT_EQ(trap.bindings[1].oid, "1.3.6.1.6.3.1.1.4.1.0");
    EXPECT_EQ(trap.bindings[1].text, "1.3.6.1.4.1.253.8.0.5");
    expect_kinds(trap.bindings, 2);
  }
}

// Traps far over the 2048 bytes of a request's answer arrive whole, up to
// the largest that snmptrap sends.
TEST_F(TrapReceiver, BigTrapsArriveWhole) {
  ORV_REQUIRE_LAB(false, {"snmptrap"});
  open();
  const std::vector<std::string> v1 = {"-v1", "1.3.6.1.4.1.253.8", "127.0.0.1", "6", "1", "5"};
  const std::vector<std::string> v2c = {"-v2c", "5", "1.3.6.1.4.1.253.8.0.1"};
  for (const auto& [args, octets] : {std::pair{v1, 4000}, std::pair{v2c, 4000}, std::pair{v2c, 65000}}) {
    SCOPED_TRACE(args[0] + " " + std::to_string(octets));
    inbox_.clear();
    const std::string text(static_cast<size_t>(octets), 'p');
    std::vector<std::string> with_text = args;
    with_text.insert(with_text.end(), {"1.3.6.1.4.1.9999.3", "s", text});
    snmptrap(with_text);
    ASSERT_TRUE(inbox_.wait_for(1));
    const std::vector<Binding> got = inbox_.traps()[0].bindings;
    const auto big = std::find_if(got.begin(), got.end(), [](const Binding& b) { return b.oid == "1.3.6.1.4.1.9999.3"; });
    ASSERT_NE(big, got.end());
    EXPECT_TRUE(big->text == text) << big->text.size() << " octets of " << octets;
  }
}

// An InformRequest arrives like a notification and is answered: snmpinform,
// which waits for the answer, ends with success.
TEST_F(TrapReceiver, InformsAreDeliveredAndAnswered) {
  ORV_REQUIRE_LAB(false, {"snmpinform"});
  for (const bool ipv6 : {false, true}) {
    SCOPED_TRACE(ipv6 ? "IPv6" : "IPv4");
    qel_trap_receiver_close(receiver_);
    inbox_.clear();
    open(ipv6 ? ORV_PROTOCOL_IPV6 : ORV_PROTOCOL_IPV4);
    snmptrap({"-v2c", "4242", "1.3.6.1.4.1.253.8.0.9", "1.3.6.1.2.1.1.5.0", "s", "tray"},
             ipv6 ? "udp6:[::1]" : "127.0.0.1", "snmpinform");
    ASSERT_TRUE(inbox_.wait_for(1));
    const Trap trap = inbox_.traps()[0];
    EXPECT_EQ(trap.version, QEL_TRAP_VERSION_V2C_INFORM);
    EXPECT_EQ(trap.oid, "1.3.6.1.4.1.253.8.0.9");
    EXPECT_EQ(trap.timestamp, 4242u);
    ASSERT_EQ(trap.bindings.size(), 3u);
    EXPECT_EQ(trap.bindings[2].text, "tray");
  }
}

// A trap has one OID whichever version carried it; an SNMPv1 Trap's
// agent-addr and enterprise follow its bindings, its community is kept.
TEST_F(TrapReceiver, SnmpV1TrapsInTheStandardForm) {
  ORV_REQUIRE_LAB(false, {"snmptrap"});
  open();
  struct Case {
    std::vector<std::string> args;
    const char* oid;
    std::string agent;  // SNMPv1: the agent-addr, then the enterprise follow the bindings
  };
  const Case cases[] = {
      {{"-v1", "1.3.6.1.4.1.253.8", "192.0.2.5", "0", "0", "7"}, "1.3.6.1.6.3.1.1.5.1", "192.0.2.5"},
      {{"-v2c", "7", "1.3.6.1.6.3.1.1.5.1"}, "1.3.6.1.6.3.1.1.5.1", ""},
      {{"-v1", "1.3.6.1.4.1.253.8", "192.0.2.6", "4", "0", "7"}, "1.3.6.1.6.3.1.1.5.5", "192.0.2.6"},
      {{"-v1", "1.3.6.1.4.1.253.8", "192.0.2.7", "6", "17", "7"}, "1.3.6.1.4.1.253.8.0.17", "192.0.2.7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.oid);
    inbox_.clear();
    snmptrap(c.args);
    ASSERT_TRUE(inbox_.wait_for(1));
    const Trap trap = inbox_.traps()[0];
    EXPECT_EQ(trap.oid, c.oid);
    EXPECT_EQ(trap.community, "public");
    if (c.agent.empty()) continue;
    ASSERT_EQ(trap.bindings.size(), 2u);
    const auto shown = [](const Binding& b) { return b.oid + " " + std::to_string(b.type) + " " + b.text; };
    EXPECT_EQ(shown(trap.bindings[0]), "1.3.6.1.6.3.18.1.3.0 64 " + c.agent);
    EXPECT_EQ(shown(trap.bindings[1]), "1.3.6.1.6.3.1.1.4.3.0 6 1.3.6.1.4.1.253.8");
  }
}

// An IPv6 receiver takes IPv6 only, so an IPv4 one shares its port; a
// started receiver closes without waiting out its receive wait.
TEST_F(TrapReceiver, Ipv6ReceiverSharesThePortAndClosesPromptly) {
  ORV_REQUIRE_LAB(false, {"snmptrap"});
  open();
  QelTrapReceiver* v6 = nullptr;
  ASSERT_EQ(qel_trap_receiver_open(ORV_PROTOCOL_IPV6, static_cast<uint16_t>(qel_trap_receiver_port(receiver_)), &v6),
            ORV_OK);
  Inbox v6_inbox;
  ASSERT_EQ(qel_trap_receiver_attach(v6, &Inbox::on_trap, &v6_inbox), ORV_OK);
  ASSERT_EQ(qel_trap_receiver_start(v6), ORV_OK);
  snmptrap({"-v2c", "1", "1.3.6.1.4.1.253.8.0.4"});
  snmptrap({"-v2c", "2", "1.3.6.1.4.1.253.8.0.6"}, "udp6:[::1]");
  ASSERT_TRUE(inbox_.wait_for(1));
  ASSERT_TRUE(v6_inbox.wait_for(1));
  EXPECT_EQ(inbox_.traps().size(), 1u);
  EXPECT_EQ(v6_inbox.traps().size(), 1u);
  EXPECT_EQ(v6_inbox.traps()[0].oid, "1.3.6.1.4.1.253.8.0.6");
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_EQ(qel_trap_receiver_close(v6), ORV_OK);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(500));
}

TEST_F(TrapReceiver, ArgumentsAndOrderOfCalls) {
  QelTrapReceiver* none = reinterpret_cast<QelTrapReceiver*>(1);
  EXPECT_EQ(qel_trap_receiver_open(ORV_PROTOCOL_IPX, 0, &none), ORV_ERR_INVALID_ARG);
  EXPECT_EQ(none, nullptr);
  qel_trap_receiver_close(nullptr);

  open();
  EXPECT_EQ(qel_trap_receiver_start(receiver_), ORV_ERR_INVALID_ARG);  // once only
  EXPECT_EQ(qel_trap_receiver_detach(receiver_, &Inbox::on_trap, this), ORV_OK);  // never attached

  // The same port twice cannot be bound.
  QelTrapReceiver* second = nullptr;
  EXPECT_EQ(qel_trap_receiver_open(ORV_PROTOCOL_IPV4, static_cast<uint16_t>(qel_trap_receiver_port(receiver_)),
                                   &second),
            -202);
  EXPECT_EQ(second, nullptr);
}

// A callback that is still running while the host closes the receiver may
// use it until close returns; close from inside a callback is refused.
struct CloseRacer {
  using Act = int32_t (*)(QelTrapReceiver*, CloseRacer* self);
  static void on_trap(const QelTrap*, void* context) {
    auto* self = static_cast<CloseRacer*>(context);
    if (self->started.exchange(true)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // main is closing by now
    self->result = self->act(self->receiver, self);
    self->done = true;
  }
  static void other(const QelTrap*, void*) {}

  QelTrapReceiver* receiver = nullptr;
  Act act = nullptr;
  std::atomic<bool> started{false};
  std::atomic<bool> done{false};
  std::atomic<int32_t> result{1};
};

bool wait_until(const std::atomic<bool>& flag) {
  for (int i = 0; i < 500 && !flag; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return flag;
}

TEST_F(TrapReceiver, CallbackUsesTheReceiverWhileTheHostClosesIt) {
  ORV_REQUIRE_LAB(false, {"snmptrap"});
  struct Case {
    const char* name;
    CloseRacer::Act act;
    int32_t expected;  // not 0: the callback's own close, refused; the host closes afterwards
  };
  using R = QelTrapReceiver*;
  const Case cases[] = {
      {"attach", [](R r, CloseRacer*) { return qel_trap_receiver_attach(r, &CloseRacer::other, r); }, ORV_OK},
      {"detach itself", [](R r, CloseRacer* s) { return qel_trap_receiver_detach(r, &CloseRacer::on_trap, s); }, ORV_OK},
      {"port", [](R r, CloseRacer*) { return qel_trap_receiver_port(r) > 0 ? ORV_OK : -1; }, ORV_OK},
      {"close", [](R r, CloseRacer*) { return qel_trap_receiver_close(r); }, ORV_ERR_INVALID_ARG},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    open();
    CloseRacer racer;
    racer.receiver = receiver_;
    racer.act = c.act;
    ASSERT_EQ(qel_trap_receiver_attach(receiver_, &CloseRacer::on_trap, &racer), ORV_OK);
    snmptrap({"-v2c", "1", "1.3.6.1.4.1.253.8.0.5"});
    ASSERT_TRUE(wait_until(racer.started));
    if (c.expected != ORV_OK) {
      ASSERT_TRUE(wait_until(racer.done));
    }
    EXPECT_EQ(qel_trap_receiver_close(receiver_), ORV_OK);
    receiver_ = nullptr;
    EXPECT_TRUE(racer.done);
    EXPECT_EQ(racer.result, c.expected);
  }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kPlainAllocator = false;  // mallinfo2 does not see the sanitizer's heap
#else
constexpr bool kPlainAllocator = true;
#endif

// A million detaches leave the heap where it was: of pairs never attached,
// and of pairs attached just before, each with a context of its own.
TEST_F(TrapReceiver, DetachedPairsLeaveNothingBehind) {
  constexpr uintptr_t kPairs = 1000000;
  open();
  for (const bool attach_first : {false, true}) {
    SCOPED_TRACE(attach_first ? "attached, then detached" : "never attached");
    const size_t heap_before = mallinfo2().uordblks;
    for (uintptr_t i = 1; i <= kPairs; ++i) {
      void* context = reinterpret_cast<void*>(i);
      if (attach_first) {
        ASSERT_EQ(qel_trap_receiver_attach(receiver_, &CloseRacer::other, context), ORV_OK);
      }
      ASSERT_EQ(qel_trap_receiver_detach(receiver_, &CloseRacer::other, context), ORV_OK);
    }
    const size_t heap_after = mallinfo2().uordblks;
    if (kPlainAllocator) {
      EXPECT_LT(heap_after, heap_before + 1024 * 1024) << heap_before << " -> " << heap_after;
    }
  }
}

}  // namespace
