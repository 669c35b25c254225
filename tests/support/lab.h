// Real peers for the tests: simulated printers (snmpsimd), private Net-SNMP
// agents, a scripted SNMP peer and virtual LANs in network namespaces.
//
// Every class wraps tests/support/orvlab.py, the one place that starts and
// stops these things, and undoes what it started in its destructor, so a
// failing assertion never leaves an agent or a namespace behind. What a
// crashed test leaves is reaped by the next start (orvlab records each
// process with its owner).
//
//   ORV_REQUIRE_LAB(true, {"snmpsimd", "snmpget"});   // skips when not root
//   orv::test::SnmpsimAgent printer({.endpoints = {"127.0.0.21:161"},
//                                    .serve = {"printer-a:public"}});
//   orv::test::VirtualLan lan({{"client", "198.18.0.1"}, {"p1", "198.18.0.11"}});
//   lan.run_in("client", [&] { /* sockets made here live on the LAN */ });
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace orv::test {

// ---------------------------------------------------------------- basics

bool is_root();
// Takes CAP_NET_ADMIN from the calling thread only (capabilities belong to
// threads), so that it runs as an ordinary process would; false on failure.
bool drop_net_admin();
// True when `name` is an executable on PATH (or an executable path).
bool have_program(std::string_view name);
// Empty when the lab can run here, else why not (for GTEST_SKIP).
std::string lab_missing(bool needs_root, std::initializer_list<std::string_view> programs);

std::string source_dir();
std::string data_dir();                          // tests/data
std::string data_file(std::string_view name);    // tests/data/<name>.snmprec

struct RunResult {
  int exit_code = -1;   // -1 when killed by a signal or the time limit
  bool timed_out = false;
  std::string out;
  std::string err;
};
// Runs argv (no shell) with MIBS= and MIBDIRS= set, killing it after
// timeout_ms; what it printed is returned.
RunResult run(const std::vector<std::string>& argv, int timeout_ms = 20000);
// Runs orvlab.py with this process as the owner; throws with its message
// when it fails.
std::string orvlab(std::vector<std::string> args, int timeout_ms = 90000);

// Net-SNMP's snmpget as an independent witness: prints the values only
// (-On -Oqv), one a line. target is "127.0.0.21", "udp6:[::1]" or with ":port".
RunResult snmpget(const std::string& target, const std::string& community,
                  const std::vector<std::string>& oids,
                  const std::vector<std::string>& options = {"-v1", "-t", "0.5", "-r", "0"});

// A 127.x.y.z address whose UDP `port` is free now, so that concurrent
// test runs on one machine do not meet on a fixed address.
std::string free_loopback_address(uint16_t port = 161);

// ---------------------------------------------------------------- agents

// A process started through orvlab; stopped (and its files removed) on
// destruction or by stop().
class LabProcess {
 public:
  LabProcess() = default;
  explicit LabProcess(pid_t pid) : pid_(pid) {}
  LabProcess(LabProcess&& other) noexcept;
  LabProcess& operator=(LabProcess&& other) noexcept;
  LabProcess(const LabProcess&) = delete;
  LabProcess& operator=(const LabProcess&) = delete;
  ~LabProcess();

  pid_t pid() const { return pid_; }
  bool running() const;
  void stop();

 protected:
  // Runs an orvlab start command and takes over the process id it prints.
  void start(const std::vector<std::string>& orvlab_args);

 private:
  pid_t pid_ = 0;
};

struct SnmpsimOptions {
  // "127.0.0.21:161", "[::1]:161", "0.0.0.0:161", "[::]:161".
  std::vector<std::string> endpoints{};
  // "FILE" or "FILE:COMMUNITY" from data_dir; empty serves every file under
  // its own name (community = file name).
  std::vector<std::string> serve{};
  std::string data_dir = orv::test::data_dir();
  std::string netns{};  // empty: this namespace
  // SNMPv3 users "NAME:SHA:AUTHPASS:AES:PRIVPASS" (NONE for no protocol);
  // the context name selects the file as the community does.
  std::vector<std::string> v3users{};
};

// snmpsimd serving printer data files; answers before the constructor returns.
class SnmpsimAgent : public LabProcess {
 public:
  explicit SnmpsimAgent(const SnmpsimOptions& options);
};

struct SnmpdOptions {
  std::vector<std::string> addresses{};  // "127.0.0.31", "[::1]"
  uint16_t port = 161;
  std::string community = "public";
  std::string rwcommunity{};
  std::string sysobjectid{};
  std::vector<std::string> v3users{};     // "NAME:SHA:AUTHPASS:AES:PRIVPASS"
  std::vector<std::string> conf_lines{};  // further snmpd.conf lines
  // A .snmprec file whose objects it serves instead of its own MIB modules:
  // the same printer snmpsimd serves, answered far faster (for load and
  // benchmarks).
  std::string data_file{};
  std::string netns{};
};

// A private, quiet Net-SNMP snmpd; answers before the constructor returns.
class SnmpdAgent : public LabProcess {
 public:
  explicit SnmpdAgent(const SnmpdOptions& options);
};

// One datagram the scripted peer received.
struct PeerDatagram {
  int count = 0;
  std::string sender;  // "127.0.0.1:40000" or "::1:40000"
  std::vector<uint8_t> bytes;
};

// The scripted UDP SNMP peer of orvlab.py (modes: echo, silent,
// silent-first:K, silent-after:K, late-stale[:S[:A]], toobig-above:N,
// error-at:OID[:STATUS], garbage-first, walk:ROWS; several may be combined).
class ScriptedPeer : public LabProcess {
 public:
  ScriptedPeer(std::string bind, std::vector<std::string> modes, std::string netns = {});
  ~ScriptedPeer();
  ScriptedPeer(ScriptedPeer&&) = delete;

  const std::string& bind() const { return bind_; }
  std::vector<PeerDatagram> datagrams() const;
  // Waits (bounded) until at least n datagrams were logged.
  bool wait_for_datagrams(size_t n, int timeout_ms) const;

 private:
  std::string bind_;
  std::string log_;
};

// ---------------------------------------------------------------- LAN

struct LanHost {
  std::string name;
  std::string netns;
  std::string ipv4;
  std::string ipv6;
};

// A bridge and one namespace per host, each with an e0 on the bridge, IPv4
// /24 and IPv6 /64 addresses usable at once (no duplicate address
// detection) and a default route, so 255.255.255.255 and ff02::1 stay on
// this LAN. The name is unique to the run; down() or the destructor removes
// every namespace and whatever runs in them.
class VirtualLan {
 public:
  explicit VirtualLan(const std::vector<std::pair<std::string, std::string>>& hosts);
  ~VirtualLan();
  VirtualLan(const VirtualLan&) = delete;
  VirtualLan& operator=(const VirtualLan&) = delete;

  const std::string& name() const { return name_; }
  const std::vector<LanHost>& hosts() const { return hosts_; }
  const LanHost& host(std::string_view name) const;

  // A command inside the host's namespace.
  RunResult exec(std::string_view host, const std::vector<std::string>& argv,
                 int timeout_ms = 20000) const;
  // Runs fn on a thread that has entered the host's namespace (threads it
  // starts stay there too); exceptions come back to the caller.
  void run_in(std::string_view host, const std::function<void()>& fn) const;
  void down();

 private:
  std::string name_;
  std::vector<LanHost> hosts_;
  bool up_ = false;
};

// Runs fn on a thread inside the named network namespace (threads it starts
// stay there too); an empty name runs fn here. Exceptions come back.
void run_in_netns(const std::string& netns, const std::function<void()>& fn);

}  // namespace orv::test

// Skips the current test, with the reason, unless the lab can run here.
#define ORV_REQUIRE_LAB(needs_root, ...)                                    \
  do {                                                                      \
    const std::string orv_lab_missing_ =                                    \
        ::orv::test::lab_missing((needs_root), __VA_ARGS__);                \
    if (!orv_lab_missing_.empty()) GTEST_SKIP() << orv_lab_missing_;        \
  } while (0)
