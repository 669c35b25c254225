// A host that only sets ORV_LOG_MASK=31 sees the socket, session, split and
// broadcast lines on standard output, each at its own level. The work runs in
// a fresh child process, since the mask is read once per process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "session_fixtures.h"
#include "snmp/transport/datagram_socket.h"
#include "snmp/session/request_session.h"
#include "snmp/dispatch/session_dispatcher.h"

namespace orv {
namespace {

using testing::make_get;
using testing::make_target;
using testing::numbered_oids;
using testing::TargetSettings;

constexpr char kOutputVariable[] = "ORV_SESSION_LOG_MASK_OUT";

// Child: standard output goes to `path`; a silent local socket plays the
// agent that never answers.
int exchange_with_mask_from_environment(const char* path) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) return 2;
  close(fd);
  if (setenv("ORV_LOG_MASK", "31", 1) != 0 || unsetenv("ORV_LOG_FILE") != 0) return 2;

  IDataGramSocket* raw_agent = nullptr;
  if (create_datagram_socket(IQelNetworkAddress::kProtocolIpv4, &raw_agent) != kOk) return 3;
  DataGramSocketPtr agent(raw_agent);
  TargetSettings s;
  s.address = "127.0.0.1";
  s.port = agent->local_address()->port();
  s.timeout_ms = 100;
  SnmpTargetPtr target = make_target(s);
  target->set_port(0);
  SessionDispatcherPtr dispatcher(qes_create_session_dispatcher());

  PduPtr one = make_get({"1.3.6.1.2.1.1.5.0"});
  if (dispatcher->send_sync(one.get(), target.get()) != kErrTimeout) return 4;
  uint8_t buffer[2048];
  uint32_t received = 0;
  IQelNetworkAddress* sender = nullptr;
  if (agent->receive(buffer, sizeof buffer, 1000, &received, &sender) != kOk) return 5;
  NetworkAddressPtr owned_sender(sender);

  // Too long for 120 bytes: split, and the first silent piece ends the run.
  target->set_max_message_size(120);
  PduPtr many = make_get(numbered_oids(8));
  if (dispatcher->send_sync(many.get(), target.get()) != kErrTimeout) return 6;

  target->set_max_message_size(1400);
  PduPtr probe = make_get({"1.3.6.1.2.1.1.2.0"});
  IQesSnmpPacketList* answers = nullptr;
  if (dispatcher->send_broad_cast_sync(probe.get(), target.get(), &answers) != kOk) return 7;
  SnmpPacketListPtr owned_answers(answers);
  std::fflush(stdout);
  return 0;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

// ", <category padded to 16>, <level>" followed by the message.
std::string line(const std::string& category, const std::string& level,
                 const std::string& message) {
  std::string padded = category;
  padded.resize(16, ' ');
  return ", " + padded + ", " + level + ", " + message;
}

TEST(LogMaskFromEnvironmentDeathTest, EachLayerWritesItsLinesAtTheirLevels) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The re-started child runs this body again and must write where the
  // parent reads, so the path travels in the environment.
  if (!std::getenv(kOutputVariable)) {
    std::string path = "/tmp/orv-session-log-mask-" + std::to_string(getpid()) + ".out";
    setenv(kOutputVariable, path.c_str(), 1);
  }
  const std::string path = std::getenv(kOutputVariable);
  EXPECT_EXIT(std::exit(exchange_with_mask_from_environment(path.c_str())),
              ::testing::ExitedWithCode(0), "");
  const std::string out = read_file(path);
  std::remove(path.c_str());
  unsetenv(kOutputVariable);

  for (const std::string& expected : {
           line("socket", "Debug", "create socket. id:0x"),
           line("socket", "Debug", "[DataGramSocket::send] send packet. port:"),
           line("socket", "Trace", "select API timeout."),
           line("socket", "Debug", "[DataGramSocket::receive] receive packet port:"),
           line("snmp", "Info ", "_send_and_receive(): timeout= 100, retries=0"),
           line("snmp", "Debug", "_send_and_receive(): try 0, destination=127.0.0.1"),
           line("snmp", "Error", "_send_and_receive(): receive timeout."),
           line("snmp", "Info ", "[RequestSession::fragment_process] packet["),
           line("snmp", "Trace", "[SessionDispatcher::send_broad_cast_sync] enter."),
           line("snmp", "Trace", "[RequestSession::send_broad_cast_sync] enter."),
           line("snmp", "Info ", "broad cast: timeout= 100, retries=0, destination=127.0.0.1"),
           line("snmp", "Debug", "broad cast: try 0."),
           line("snmp", "Trace", "[RequestSession::send_broad_cast_sync] exit."),
           line("snmp", "Trace", "[SessionDispatcher::send_broad_cast_sync] exit."),
       }) {
    EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n--- output:\n" << out;
  }
}

}  // namespace
}  // namespace orv
