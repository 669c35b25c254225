// orvctl traps: prints each SNMP trap as it arrives on a UDP port, until
// Ctrl-C, --count traps or --for seconds.
#include "command.h"
#include "output.h"
#include "trap_format.h"

#include "orv/qel_trap.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <mutex>
#include <thread>

namespace orvctl {
namespace {

constexpr const char* kTrapsName = "traps";
constexpr uint16_t kTrapPort = 162;
constexpr auto kPoll = std::chrono::milliseconds(50);
constexpr const char kSnmpTrapAddress[] = "1.3.6.1.6.3.18.1.3.0";
constexpr const char kSnmpTrapEnterprise[] = "1.3.6.1.6.3.1.1.4.3.0";

volatile std::sig_atomic_t g_stop = 0;
void request_stop(int) { g_stop = 1; }

// Milliseconds since 1970 UTC as local time with its offset.
std::string local_time_of(int64_t ms) {
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm parts{};
  localtime_r(&seconds, &parts);
  char date[24];
  char zone[8];
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &parts);
  std::strftime(zone, sizeof zone, "%z", &parts);
  char text[48];
  std::snprintf(text, sizeof text, "%s.%03d %s", date, static_cast<int>(ms % 1000), zone);
  return text;
}

std::string binding_value(const QelTrap* trap, uint32_t index) {
  const int32_t type = qel_trap_binding_type(trap, index);
  if (type == 0x04 || type == 0x44) {
    size_t length = 0;
    const uint8_t* bytes = qel_trap_binding_bytes(trap, index, &length);
    return bytes ? printable_octets(std::vector<uint8_t>(bytes, bytes + length)) : std::string();
  }
  const char* text = qel_trap_binding_text(trap, index);
  return text ? text : "";
}

nlohmann::json trap_record(const QelTrap* trap) {
  const int32_t version = qel_trap_version(trap);
  const bool v1 = version == QEL_TRAP_VERSION_V1;
  const char* oid = qel_trap_oid(trap);
  const char* sender = qel_trap_sender(trap);
  nlohmann::json record = {{"time", local_time_of(qel_trap_arrival(trap))},
                           {"sender", sender ? sender : ""},
                           {"version", v1 ? "v1" : "v2c"},
                           {"trap_oid", oid ? oid : ""},
                           {"uptime", qel_trap_timestamp(trap)}};
  if (version == QEL_TRAP_VERSION_V2C_INFORM) record["inform"] = true;
  nlohmann::json bindings = nlohmann::json::array();
  std::string enterprise;
  for (uint32_t i = 0; i < qel_trap_binding_count(trap); ++i) {
    const char* name = qel_trap_binding_oid(trap, i);
    const std::string oid = name ? name : "";
    // An SNMPv1 Trap's own fields, which the library appends as bindings.
    if (v1 && oid == kSnmpTrapAddress) {
      record["agent_address"] = binding_value(trap, i);
      continue;
    }
    if (v1 && oid == kSnmpTrapEnterprise) {
      enterprise = binding_value(trap, i);
      continue;
    }
    bindings.push_back({{"oid", oid},
                        {"type", value_type_name(qel_trap_binding_type(trap, i))},
                        {"value", binding_value(trap, i)}});
  }
  if (const auto fields = v1 ? v1_trap_fields(record["trap_oid"], enterprise) : std::nullopt) {
    record["enterprise"] = fields->enterprise;
    record["generic"] = fields->generic;
    record["generic_name"] = generic_trap_name(fields->generic);
    record["specific"] = fields->specific;
  }
  record["bindings"] = bindings;
  return record;
}

void print_text(const nlohmann::json& r) {
  std::cout << r["time"].get<std::string>() << "  " << r["sender"].get<std::string>() << "  "
            << r["version"].get<std::string>() << (r.contains("inform") ? " inform" : "");
  if (r.contains("generic")) {
    std::cout << "  " << r["generic_name"].get<std::string>();
    if (r["generic"] == 6) std::cout << " " << r["specific"];
    std::cout << "  enterprise " << r["enterprise"].get<std::string>() << "  agent "
              << r.value("agent_address", std::string());
  } else {
    std::cout << "  " << r["trap_oid"].get<std::string>();
  }
  std::cout << "  uptime " << uptime_text(r["uptime"].get<uint32_t>()) << '\n';
  for (const auto& b : r["bindings"]) {
    std::cout << "  " << b["oid"].get<std::string>() << "  " << b["type"].get<std::string>() << "  "
              << b["value"].get<std::string>() << '\n';
  }
  std::cout.flush();
}

// Shared with the delivery thread of the receiver.
struct Printer {
  bool json = false;
  uint64_t limit = 0;  // 0: no limit
  std::atomic<uint64_t> printed{0};

  static void on_trap(const QelTrap* trap, void* context) {
    auto* self = static_cast<Printer*>(context);
    if (self->limit != 0 && self->printed.load() >= self->limit) return;
    try {
      const nlohmann::json record = trap_record(trap);
      if (self->json)
        print_json(record, true);
      else
        print_text(record);
    } catch (const std::exception& e) {
      std::cerr << "orvctl traps: cannot print a trap: " << e.what() << '\n';
    }
    self->printed.fetch_add(1);
  }
};

class TrapsCommand : public Command {
 public:
  const char* name() const override { return kTrapsName; }
  const char* summary() const override {
    return "print SNMP traps and notifications as they arrive (until Ctrl-C, --count or --for)";
  }
  void add_arguments(CLI::App& sub) override {
    sub.add_option("--port", port_, "UDP port to listen on (162 needs privileges)")
        ->default_val(kTrapPort);
    sub.add_flag("--ipv6", ipv6_, "listen on IPv6 instead of IPv4");
    sub.add_option("--count", count_, "end after this many traps")->check(CLI::PositiveNumber);
    sub.add_option("--for", seconds_, "end after this many seconds")->check(CLI::PositiveNumber);
  }
  int run(const CommonOptions& common) override {
    QelTrapReceiver* receiver = nullptr;
    const int32_t result =
        qel_trap_receiver_open(ipv6_ ? ORV_PROTOCOL_IPV6 : ORV_PROTOCOL_IPV4, port_, &receiver);
    if (result != ORV_OK) return report_open_failure(common, result);
    Printer printer;
    printer.json = common.json;
    printer.limit = count_;
    qel_trap_receiver_attach(receiver, &Printer::on_trap, &printer);
    auto* old_int = std::signal(SIGINT, request_stop);
    auto* old_term = std::signal(SIGTERM, request_stop);
    qel_trap_receiver_start(receiver);
    std::cerr << "orvctl: listening for traps on UDP port " << qel_trap_receiver_port(receiver)
              << (ipv6_ ? " (IPv6)" : " (IPv4)") << "; Ctrl-C ends" << std::endl;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds_);
    while (!g_stop && (count_ == 0 || printer.printed.load() < count_) &&
           (seconds_ == 0 || std::chrono::steady_clock::now() < deadline)) {
      std::this_thread::sleep_for(kPoll);
    }
    uint64_t received = 0;
    uint64_t dropped = 0;
    qel_trap_receiver_stats(receiver, &received, &dropped);
    qel_trap_receiver_close(receiver);
    std::signal(SIGINT, old_int);
    std::signal(SIGTERM, old_term);
    print_summary(common, received, dropped);
    return kExitOk;
  }

 private:
  // What was lost shows on exit: a burst may overflow the socket's buffer.
  static void print_summary(const CommonOptions& common, uint64_t received, uint64_t dropped) {
    if (common.json) {
      print_json(nlohmann::json{{"received", received}, {"dropped", dropped}}, true);
      return;
    }
    std::cerr << "orvctl " << kTrapsName << ": " << received << " traps received, " << dropped << " dropped"
              << (dropped > 0 ? " (a burst overflowed the receive buffer)" : "") << '\n';
  }

  int report_open_failure(const CommonOptions& common, int32_t code) const {
    std::string message = "cannot listen for traps on UDP port " + std::to_string(port_) + " (" +
                          std::to_string(code) + ")";
    if (code == QEL_TRAP_ERR_PORT_ACCESS)
      message += ": ports below 1024 need privileges; run as root or choose another with --port N";
    else if (code == QEL_TRAP_ERR_PORT_IN_USE)
      message += ": port " + std::to_string(port_) +
                 " is in use by another program; stop it or choose another with --port N";
    std::cerr << "orvctl " << kTrapsName << ": " << message << '\n';
    if (common.json) {
      nlohmann::json document = json_document(kTrapsName, false);
      document["error"] = {{"code", code}, {"message", message}};
      print_json(document, true);  // one line, as every other line of this command
    }
    return kExitFailure;
  }

  uint16_t port_ = kTrapPort;
  bool ipv6_ = false;
  uint64_t count_ = 0;
  uint64_t seconds_ = 0;
};

}  // namespace

ORVCTL_REGISTER_COMMAND(TrapsCommand);

}  // namespace orvctl
