// GET round trips through our request session against Net-SNMP's
// snmp_synch_response, both to the same quiet private snmpd on loopback, of
// 1 and of 20 bindings. Each exchange builds its request PDU afresh, as the
// request objects do; Net-SNMP gets its object identifiers pre-parsed.
//
//   session_roundtrip                      Google Benchmark run, then the
//                                          medians of both and their ratio
//   session_roundtrip --callgrind N K      one uncounted warm-up exchange of
//                                          each, then N exchanges of K
//                                          bindings, ours then Net-SNMP's, for
//                                          valgrind's callgrind
//                                          (bench/callgrind_session.sh)
//
// The agent is started through tests/support/orvlab.py on a free 127.x
// address, port 161 (needs root), and stopped at the end.
#include <benchmark/benchmark.h>
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_lab.h"
#include "net/network_address.h"
#include "snmp/message/pdu.h"
#include "snmp/message/snmp_target.h"
#include "snmp/dispatch/session_dispatcher.h"
#include "snmp/smi/smi_factory.h"

namespace {

using namespace orv;

std::string g_host;
const std::string& kOrvlab = bench_lab::orvlab();
using bench_lab::run_text;

const std::vector<std::string>& oids(size_t count) {
  static const std::vector<std::string> twenty = [] {
    std::vector<std::string> v;
    for (int i : {1, 2, 3, 4, 5, 6, 8}) v.push_back("1.3.6.1.2.1.1." + std::to_string(i) + ".0");
    v.push_back("1.3.6.1.2.1.2.1.0");
    for (int i : {1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13}) {
      v.push_back("1.3.6.1.2.1.11." + std::to_string(i) + ".0");
    }
    return v;
  }();
  static const std::vector<std::string> one = {"1.3.6.1.2.1.1.2.0"};
  return count == 1 ? one : twenty;
}

// ---------------------------------------------------------------- ours

struct Ours {
  SessionDispatcherPtr dispatcher{qes_create_session_dispatcher()};
  SnmpTargetPtr target{qes_create_snmp_target(kTranslateCommunity)};

  Ours() {
    as_community_target(target.get())->set_community("public");
    target->set_version(kSnmpV2c);
    target->set_timeout(1000);
    target->set_retries(1);
    target->set_max_message_size(1400);
  }
};

__attribute__((noinline)) int run_ours(Ours& ours, size_t count) {
  // The answer may have changed the destination; every request is aimed anew.
  ours.target->set_address(qel_create_network_address_with_protocol(
      g_host.c_str(), IQelNetworkAddress::kProtocolIpv4, 161));
  PduPtr pdu(qes_create_pdu());
  pdu->set_type(kPduGetRequest);
  for (const std::string& oid : oids(count)) {
    pdu->append_new(create_oid_from_text(oid.c_str()), create_smi_value(0x05));
  }
  Result rc = ours.dispatcher->send_sync(pdu.get(), ours.target.get());
  return rc == kOk && pdu->var_bind_list()->count() == count ? 0 : 1;
}

// ---------------------------------------------------------------- Net-SNMP

struct NetSnmp {
  netsnmp_session* session = nullptr;
  std::vector<std::vector<oid>> parsed;

  NetSnmp() {
    netsnmp_session settings;
    snmp_sess_init(&settings);
    std::string peer = "udp:" + g_host + ":161";
    settings.peername = const_cast<char*>(peer.c_str());
    settings.version = SNMP_VERSION_2c;
    settings.community = reinterpret_cast<u_char*>(const_cast<char*>("public"));
    settings.community_len = 6;
    settings.timeout = 1000000;
    settings.retries = 1;
    session = snmp_open(&settings);
    for (const std::string& text : oids(20)) {
      oid buffer[MAX_OID_LEN];
      size_t length = MAX_OID_LEN;
      read_objid(text.c_str(), buffer, &length);
      parsed.emplace_back(buffer, buffer + length);
    }
  }
  ~NetSnmp() {
    if (session) snmp_close(session);
  }
};

__attribute__((noinline)) int run_netsnmp(NetSnmp& n, size_t count) {
  netsnmp_pdu* request = snmp_pdu_create(SNMP_MSG_GET);
  for (size_t i = 0; i < count; ++i) {
    const std::vector<oid>& o = count == 1 ? n.parsed[1] : n.parsed[i];
    snmp_add_null_var(request, o.data(), o.size());
  }
  netsnmp_pdu* response = nullptr;
  int status = snmp_synch_response(n.session, request, &response);
  int bad = status == STAT_SUCCESS && response ? 0 : 1;
  if (response) snmp_free_pdu(response);
  return bad;
}

// The functions that callgrind collects in (--toggle-collect); the warm-up
// calls the bodies directly, so one-time set-up (loading the socket module,
// creating loggers) is not counted.
__attribute__((noinline)) int our_exchange(Ours& ours, size_t count) { return run_ours(ours, count); }
__attribute__((noinline)) int netsnmp_exchange(NetSnmp& n, size_t count) {
  return run_netsnmp(n, count);
}

Ours* g_ours = nullptr;
NetSnmp* g_netsnmp = nullptr;

void BM_Ours(benchmark::State& state) {
  size_t count = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    if (our_exchange(*g_ours, count) != 0) state.SkipWithError("our exchange failed");
  }
}
BENCHMARK(BM_Ours)->Arg(1)->Arg(20)->UseRealTime();

void BM_NetSnmp(benchmark::State& state) {
  size_t count = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    if (netsnmp_exchange(*g_netsnmp, count) != 0) state.SkipWithError("Net-SNMP exchange failed");
  }
}
BENCHMARK(BM_NetSnmp)->Arg(1)->Arg(20)->UseRealTime();

template <typename F>
double median_us(F exchange, int rounds) {
  std::vector<double> times;
  times.reserve(rounds);
  for (int i = 0; i < rounds; ++i) {
    auto start = std::chrono::steady_clock::now();
    exchange();
    times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
  return times[rounds / 2];
}

void print_medians() {
  std::printf("\nmedian GET round trip against the same snmpd (%s:161), 2001 exchanges each\n",
              g_host.c_str());
  std::printf("%-10s %12s %12s %18s\n", "bindings", "ours us", "Net-SNMP us", "Net-SNMP / ours");
  for (size_t count : {size_t{1}, size_t{20}}) {
    // Interleaved in blocks so that both see the same machine load.
    double ours = 0;
    double theirs = 0;
    for (int block = 0; block < 3; ++block) {
      ours += median_us([&] { our_exchange(*g_ours, count); }, 667);
      theirs += median_us([&] { netsnmp_exchange(*g_netsnmp, count); }, 667);
    }
    std::printf("%-10zu %12.1f %12.1f %18.2f\n", count, ours / 3, theirs / 3, theirs / ours);
  }
}

}  // namespace

int main(int argc, char** argv) {
  setenv("MIBS", "", 1);
  setenv("MIBDIRS", "", 1);
  g_host = run_text(kOrvlab + " free-address --port 161 2>/dev/null");
  std::string pid = run_text(kOrvlab + " snmpd start --address " + g_host + " 2>&1");
  if (g_host.empty() || pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) {
    std::fprintf(stderr, "cannot start the private snmpd (root needed): %s\n", pid.c_str());
    return 1;
  }
  init_snmp("session_roundtrip");
  {
    Ours ours;
    NetSnmp netsnmp;
    g_ours = &ours;
    g_netsnmp = &netsnmp;
    if (argc == 4 && std::strcmp(argv[1], "--callgrind") == 0) {
      int n = std::atoi(argv[2]);
      size_t count = std::strcmp(argv[3], "1") == 0 ? 1 : 20;
      int bad = run_ours(ours, count) + run_netsnmp(netsnmp, count);
      for (int i = 0; i < n; ++i) bad += our_exchange(ours, count);
      for (int i = 0; i < n; ++i) bad += netsnmp_exchange(netsnmp, count);
      std::printf("%d exchanges of %zu bindings each, %d failed\n", n, count, bad);
    } else {
      benchmark::Initialize(&argc, argv);
      benchmark::RunSpecifiedBenchmarks();
      benchmark::Shutdown();
      print_medians();
    }
  }
  snmp_shutdown("session_roundtrip");
  run_text(kOrvlab + " stop " + pid);
  return 0;
}
