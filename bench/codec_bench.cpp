// Our SNMP codec against Net-SNMP's, side by side: encoding a GetRequest and
// decoding its GetResponse, of 1 and of 20 Printer-MIB bindings (INTEGER and
// 30-byte OCTET STRING values). Our decode goes into the request's own
// objects, as a session does. The ratio Net-SNMP time / our time is printed
// at the end.
//
//   codec_bench                       Google Benchmark run, then the ratios
//   codec_bench --callgrind N         N messages per case, each case between
//                                     callgrind start/stop/dump requests (see
//                                     bench/README.md and bench/callgrind_codec.sh)
#include <benchmark/benchmark.h>
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "snmp/message/codec_service.h"
#include "snmp/message/raw_packet.h"
#include "snmp/smi/smi_factory.h"

namespace {

using namespace orv;

constexpr uint32_t kBufferSize = 65536;
const char kCommunity[] = "public";

// prtMarkerSuppliesLevel / prtMarkerSuppliesDescription style rows.
std::vector<uint32_t> row_oid(int i) {
  return {1, 3, 6, 1, 2, 1, 43, 11, 1, 1, static_cast<uint32_t>(i % 2 ? 6 : 9), 1, static_cast<uint32_t>(i / 2 + 1)};
}
const std::string kText(30, 'T');

// ---- ours --------------------------------------------------------------

struct Ours {
  PduPtr pdu;
  SnmpTargetPtr target;
  RawPacketPtr out;
  RawPacketPtr response;

  explicit Ours(int count) {
    pdu.reset(qes_create_pdu());
    target.reset(qes_create_snmp_target(kTranslateCommunity));
    target->set_version(kSnmpV2c);
    as_community_target(target.get())->set_community(kCommunity);
    out.reset(qes_create_raw_packet(kBufferSize));
    // The answer: same names, INTEGER and OCTET STRING values.
    PduPtr answer(qes_create_pdu());
    answer->set_type(kPduResponse);
    answer->set_request_id(0x1234);
    for (int i = 0; i < count; ++i) {
      std::vector<uint32_t> arcs = row_oid(i);
      IQelOid* name = create_oid();
      name->set_arcs(arcs.data(), static_cast<uint32_t>(arcs.size()));
      pdu->append_new(name->clone_oid(), nullptr);
      IQelSmiValue* value = i % 2 ? create_smi_value_text(kSmiOctetString, kText.c_str())
                                  : create_smi_value_int32(kSmiInteger, 100 - i);
      answer->append_new(name, value);
    }
    pdu->set_type(kPduGetRequest);
    pdu->set_request_id(0x1234);
    RawPacketPtr encoded(qes_create_raw_packet(kBufferSize));
    CQesCodecService::instance().encode(answer.get(), target.get(), encoded.get());
    response.reset(qes_create_raw_packet_from(encoded->data(), encoded->length()));
  }
  // The request goes out again after each answer.
  bool encode() {
    pdu->set_type(kPduGetRequest);
    return CQesCodecService::instance().encode(pdu.get(), target.get(), out.get()) == kOk;
  }
  bool decode() {
    return CQesCodecService::instance().decode(response.get(), pdu.get(), target.get(), kTranslateCommunity) == kOk;
  }
};

// ---- Net-SNMP ----------------------------------------------------------

void netsnmp_start() {
  static const bool started = [] {
    ::setenv("MIBS", "", 1);
    ::setenv("MIBDIRS", "", 1);
    init_snmp("codec_bench");
    return true;
  }();
  (void)started;
}

netsnmp_pdu* netsnmp_message(int command, int count, bool with_values) {
  netsnmp_pdu* pdu = snmp_pdu_create(command);
  pdu->version = SNMP_VERSION_2c;
  pdu->community = reinterpret_cast<u_char*>(::strdup(kCommunity));
  pdu->community_len = std::strlen(kCommunity);
  pdu->reqid = 0x1234;
  for (int i = 0; i < count; ++i) {
    std::vector<uint32_t> arcs = row_oid(i);
    std::vector<oid> name(arcs.begin(), arcs.end());
    long number = 100 - i;
    if (!with_values)
      snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_NULL, nullptr, 0);
    else if (i % 2)
      snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_OCTET_STR, kText.data(), kText.size());
    else
      snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_INTEGER, &number, sizeof number);
  }
  return pdu;
}

struct NetSnmp {
  netsnmp_session session;
  netsnmp_pdu* request;
  u_char* buffer;
  size_t buffer_size = kBufferSize;
  std::vector<u_char> response;

  explicit NetSnmp(int count) {
    netsnmp_start();
    snmp_sess_init(&session);
    session.version = SNMP_VERSION_2c;
    request = netsnmp_message(SNMP_MSG_GET, count, false);
    buffer = static_cast<u_char*>(std::malloc(buffer_size));
    netsnmp_pdu* answer = netsnmp_message(SNMP_MSG_RESPONSE, count, true);
    size_t offset = 0;
    snmp_build(&buffer, &buffer_size, &offset, &session, answer);
    response.assign(buffer + buffer_size - offset, buffer + buffer_size);
    snmp_free_pdu(answer);
  }
  ~NetSnmp() {
    snmp_free_pdu(request);
    std::free(buffer);
  }
  bool encode() {
    size_t offset = 0;
    return snmp_build(&buffer, &buffer_size, &offset, &session, request) == 0;
  }
  // Net-SNMP parses into a new PDU; freeing it is part of its cost.
  bool decode() {
    netsnmp_pdu* pdu = static_cast<netsnmp_pdu*>(std::calloc(1, sizeof(netsnmp_pdu)));
    bool ok = snmp_parse(nullptr, &session, pdu, response.data(), response.size()) == SNMPERR_SUCCESS;
    snmp_free_pdu(pdu);
    return ok;
  }
};

// ---- Google Benchmark --------------------------------------------------

template <typename Codec, bool kEncode>
void run(benchmark::State& state) {
  Codec codec(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    bool ok = kEncode ? codec.encode() : codec.decode();
    if (!ok) {
      state.SkipWithError("codec failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK_TEMPLATE(run, Ours, true)->Name("encode/ours")->Arg(1)->Arg(20);
BENCHMARK_TEMPLATE(run, NetSnmp, true)->Name("encode/netsnmp")->Arg(1)->Arg(20);
BENCHMARK_TEMPLATE(run, Ours, false)->Name("decode/ours")->Arg(1)->Arg(20);
BENCHMARK_TEMPLATE(run, NetSnmp, false)->Name("decode/netsnmp")->Arg(1)->Arg(20);

// Console output plus, at the end, Net-SNMP's time over ours per case.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      if (run.run_type == Run::RT_Iteration)
        cpu_ns_[run.benchmark_name()] = run.GetAdjustedCPUTime();
      else if (run.aggregate_name == "median")  // with --benchmark_repetitions
        cpu_ns_[run.run_name.str()] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nthroughput ratio (Net-SNMP CPU time / ours, higher is better for ours):\n");
    for (const char* op : {"encode", "decode"})
      for (const char* n : {"1", "20"}) {
        auto ours = cpu_ns_.find(std::string(op) + "/ours/" + n);
        auto theirs = cpu_ns_.find(std::string(op) + "/netsnmp/" + n);
        if (ours != cpu_ns_.end() && theirs != cpu_ns_.end() && ours->second > 0)
          std::printf("  %s %2s varbind(s): %.2fx\n", op, n, theirs->second / ours->second);
      }
  }

 private:
  std::map<std::string, double> cpu_ns_;
};

// ---- callgrind mode ----------------------------------------------------

template <typename Codec>
void measure(const char* name, int count, bool encode, long messages) {
  Codec codec(count);
  encode ? codec.encode() : codec.decode();  // warm up outside the window
  CALLGRIND_ZERO_STATS;
  CALLGRIND_START_INSTRUMENTATION;
  for (long i = 0; i < messages; ++i) encode ? codec.encode() : codec.decode();
  CALLGRIND_STOP_INSTRUMENTATION;
  CALLGRIND_DUMP_STATS_AT(name);
}

int callgrind_mode(long messages) {
  for (int count : {1, 20}) {
    std::string n = std::to_string(count);
    measure<Ours>(("encode/ours/" + n).c_str(), count, true, messages);
    measure<NetSnmp>(("encode/netsnmp/" + n).c_str(), count, true, messages);
    measure<Ours>(("decode/ours/" + n).c_str(), count, false, messages);
    measure<NetSnmp>(("decode/netsnmp/" + n).c_str(), count, false, messages);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--callgrind") == 0) return callgrind_mode(std::atol(argv[2]));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
