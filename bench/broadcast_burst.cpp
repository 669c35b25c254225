// One broadcast answered by N distinct agents at once (N = 100, 1000, 5000),
// through the find-device object as discovery uses it.
//
// The agents are one UDP socket of this process on an ephemeral port: when
// the request arrives, it sends the same prebuilt GetResponse N times in
// one sendmmsg burst, each from its own loopback source 127.B.x.y (set per
// datagram with IP_PKTINFO; every 127/8 address is local, so no address
// has to be bound and nothing collides with other users of the machine).
// The "broadcast" destination is 127.B.255.254 on that port.
//
// Per N it reports the answers collected out of N, the kernel's receive
// drops during the run (the namespace's Udp RcvbufErrors counter, so other
// traffic on the machine can add to it) and the library's processing time
// per answer: the CPU time of the thread that runs the broadcast (it sleeps
// while it waits) divided by the answers collected.
//
//   broadcast_burst                  as it runs (root: the receive buffer is
//                                    forced past rmem_max)
//   broadcast_burst --unprivileged   drops CAP_NET_ADMIN first, as an
//                                    ordinary process runs
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <linux/capability.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "net/network_address.h"
#include "snmp/facade/find_device_snmp.h"
#include "snmp/message/codec_service.h"
#include "snmp/message/pdu.h"
#include "snmp/message/raw_packet.h"
#include "snmp/message/snmp_target.h"
#include "snmp/smi/smi_factory.h"

namespace {

using namespace orv;

constexpr const char* kSysObjectId = "1.3.6.1.2.1.1.2";
constexpr const char* kAnswerValue = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6.1.2";
constexpr uint32_t kTimeoutMs = 1000;
// sendmmsg takes at most this many messages per call.
constexpr size_t kBurstBatch = 1024;
constexpr int kRequestWaitMs = 3000;

// The GetResponse every agent sends (SNMPv1, community "public").
std::vector<uint8_t> prebuilt_answer() {
  PduPtr pdu(qes_create_pdu());
  pdu->set_type(kPduResponse);
  pdu->set_request_id(1);
  pdu->append_new(create_oid_from_text("1.3.6.1.2.1.1.2.0"),
                  create_smi_value_text(kSmiOid, kAnswerValue));
  SnmpTargetPtr target(qes_create_snmp_target(kTranslateCommunity));
  as_community_target(target.get())->set_community("public");
  target->set_version(kSnmpV1);
  RawPacketPtr raw(qes_create_raw_packet(2048));
  uint32_t fitting = 0;
  if (CQesCodecService::instance().encode(pdu.get(), target.get(), raw.get(), &fitting) != kOk) {
    return {};
  }
  return std::vector<uint8_t>(raw->data(), raw->data() + raw->length());
}

// Source address of agent `i` in the loopback block 127.`block`.0.0/16.
in_addr agent_address(uint8_t block, size_t i) {
  in_addr a{};
  a.s_addr = htonl((127u << 24) | (uint32_t{block} << 16) | (static_cast<uint32_t>(i / 250) << 8) |
                   static_cast<uint32_t>(i % 250 + 1));
  return a;
}

struct PacketInfoControl {
  alignas(cmsghdr) char bytes[CMSG_SPACE(sizeof(in_pktinfo))];
};

// All N agents behind one socket: waits for the request, then answers it
// N times from N source addresses.
class BurstResponder {
 public:
  explicit BurstResponder(uint8_t block) : block_(block), answer_(prebuilt_answer()) {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    socklen_t length = sizeof any;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&any), &length) != 0) {
      std::perror("responder socket");
      std::exit(1);
    }
    port_ = ntohs(any.sin_port);
  }
  ~BurstResponder() { close(fd_); }

  uint16_t port() const { return port_; }
  std::string destination() const {
    char text[INET_ADDRSTRLEN];
    in_addr d{};
    d.s_addr = htonl((127u << 24) | (uint32_t{block_} << 16) | 0xfffe);
    inet_ntop(AF_INET, &d, text, sizeof text);
    return text;
  }

  // Waits (bounded) for one request; answers it `agents` times. The count
  // of datagrams the kernel accepted.
  size_t answer_once(size_t agents) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, kRequestWaitMs) != 1) return 0;
    uint8_t request[2048];
    sockaddr_in client{};
    socklen_t length = sizeof client;
    if (recvfrom(fd_, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&client), &length) <
        0) {
      return 0;
    }
    size_t sent = 0;
    for (size_t first = 0; first < agents; first += kBurstBatch) {
      const size_t count = std::min(kBurstBatch, agents - first);
      std::vector<mmsghdr> messages(count);
      std::vector<iovec> data(count);
      std::vector<PacketInfoControl> controls(count);
      for (size_t k = 0; k < count; ++k) {
        data[k] = {answer_.data(), answer_.size()};
        msghdr& m = messages[k].msg_hdr;
        m = msghdr{};
        m.msg_name = &client;
        m.msg_namelen = sizeof client;
        m.msg_iov = &data[k];
        m.msg_iovlen = 1;
        m.msg_control = controls[k].bytes;
        m.msg_controllen = sizeof controls[k].bytes;
        cmsghdr* c = CMSG_FIRSTHDR(&m);
        c->cmsg_level = IPPROTO_IP;
        c->cmsg_type = IP_PKTINFO;
        c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_spec_dst = agent_address(block_, first + k);
        std::memcpy(CMSG_DATA(c), &info, sizeof info);
      }
      int done = sendmmsg(fd_, messages.data(), static_cast<unsigned>(count), 0);
      if (done < 0) {
        std::perror("sendmmsg");
        break;
      }
      sent += static_cast<size_t>(done);
    }
    return sent;
  }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
  uint8_t block_;
  std::vector<uint8_t> answer_;
};

// The namespace's UDP receive-buffer drops so far.
long udp_rcvbuf_errors() {
  std::ifstream in("/proc/net/snmp");
  std::string names;
  std::string values;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("Udp: ", 0) != 0) continue;
    if (names.empty()) {
      names = line;
    } else {
      values = line;
      break;
    }
  }
  std::istringstream n(names);
  std::istringstream v(values);
  std::string name;
  std::string value;
  while (n >> name && v >> value) {
    if (name == "RcvbufErrors") return std::stol(value);
  }
  return -1;
}

long read_number(const char* path) {
  std::ifstream in(path);
  long value = -1;
  in >> value;
  return value;
}

double thread_cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Removes CAP_NET_ADMIN from this process, as an ordinary user runs.
bool drop_net_admin() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  const uint32_t bit = 1u << (CAP_NET_ADMIN % 32);
  data[CAP_NET_ADMIN / 32].effective &= ~bit;
  data[CAP_NET_ADMIN / 32].permitted &= ~bit;
  data[CAP_NET_ADMIN / 32].inheritable &= ~bit;
  return syscall(SYS_capset, &header, data) == 0;
}

struct Runs {
  std::vector<size_t> collected;
  long drops = 0;
  double cpu_seconds = 0;
  size_t answers = 0;
};
std::map<size_t, Runs> g_runs;

void BM_BroadcastBurst(benchmark::State& state) {
  const auto agents = static_cast<size_t>(state.range(0));
  const auto block = static_cast<uint8_t>(16 + getpid() % 200);
  BurstResponder responder(block);
  const std::string destination = responder.destination();
  const QelSecurityParams security{"", 0, 0, 0, "", "", ""};
  Runs& runs = g_runs[agents];
  runs = Runs{};
  size_t sent_total = 0;
  for (auto _ : state) {
    FindDevicePtr finder(qel_create_find_device_snmp(nullptr));
    if (!finder ||
        finder->init(destination.c_str(), IQelNetworkAddress::kProtocolIpv4, responder.port(), 1,
                     &security, kTimeoutMs, 0, 0) != kOk ||
        finder->add_oid_string(kSysObjectId) != kOk) {
      state.SkipWithError("find-device set-up failed");
      return;
    }
    std::atomic<size_t> sent{0};
    std::thread agents_thread([&] { sent = responder.answer_once(agents); });
    const long drops_before = udp_rcvbuf_errors();
    const double cpu_before = thread_cpu_seconds();
    IQesSnmpPacketList* raw = nullptr;
    const int32_t rc = finder->send_broad_cast(&raw);
    const double cpu = thread_cpu_seconds() - cpu_before;
    agents_thread.join();
    const long drops = udp_rcvbuf_errors() - drops_before;
    SnmpPacketListPtr answers(raw);
    if (rc != kOk || !answers) {
      state.SkipWithError("broadcast failed");
      return;
    }
    const size_t collected = answers->count();
    state.SetIterationTime(cpu);
    runs.collected.push_back(collected);
    runs.drops += drops;
    runs.cpu_seconds += cpu;
    runs.answers += collected;
    sent_total += sent.load();
  }
  // Means over the broadcasts of this run.
  const double n = static_cast<double>(state.iterations());
  double collected_total = 0;
  for (size_t c : runs.collected) collected_total += static_cast<double>(c);
  state.counters["collected"] = collected_total / n;
  state.counters["sent"] = static_cast<double>(sent_total) / n;
  state.counters["drops"] = static_cast<double>(runs.drops) / n;
  state.counters["us_per_answer"] =
      runs.answers ? runs.cpu_seconds * 1e6 / static_cast<double>(runs.answers) : 0;
}
BENCHMARK(BM_BroadcastBurst)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(5000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bool unprivileged = false;
  for (int i = 1; i < argc; ++i) unprivileged |= std::strcmp(argv[i], "--unprivileged") == 0;
  if (unprivileged && !drop_net_admin()) {
    std::fprintf(stderr, "cannot drop CAP_NET_ADMIN\n");
    return 1;
  }
  std::printf("rmem_default %ld, rmem_max %ld, %s\n",
              read_number("/proc/sys/net/core/rmem_default"),
              read_number("/proc/sys/net/core/rmem_max"),
              unprivileged ? "without CAP_NET_ADMIN" : "with the process's own capabilities");
  benchmark::RunSpecifiedBenchmarks();
  for (const auto& [agents, runs] : g_runs) {
    if (runs.collected.empty()) continue;
    const auto [low, high] = std::minmax_element(runs.collected.begin(), runs.collected.end());
    std::printf("N=%zu: collected %zu..%zu of %zu over %zu broadcasts, kernel drops %ld, "
                "%.2f us of processing per answer\n",
                agents, *low, *high, agents, runs.collected.size(), runs.drops,
                runs.answers ? runs.cpu_seconds * 1e6 / static_cast<double>(runs.answers) : 0.0);
  }
  benchmark::Shutdown();
  return 0;
}
