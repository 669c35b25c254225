#include "net/socket_api.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "orv/orv_log.hpp"

namespace orv::net {
namespace {

using A = NQelSocketAPI;

// The lines of the log file at `path` that contain `text`.
int count_lines(const std::string& path, const std::string& text) {
  std::ifstream file(path);
  std::string line;
  int count = 0;
  while (std::getline(file, line)) count += line.find(text) != std::string::npos;
  return count;
}

// A log file of this process, with every level switched on.
std::string log_everything() {
  std::string path = "/tmp/orv-socket-api-" + std::to_string(getpid()) + ".log";
  std::remove(path.c_str());
  log::set_log_mask(log::kMaskAll);
  log::attach_file_log(path.c_str());
  return path;
}

// Runs the statement in a freshly started copy of this test program, where
// no module has been loaded yet, and expects it to exit 0 after writing
// text that matches `pattern` to standard error.
#define EXPECT_IN_FRESH_PROCESS(statement, pattern)                                  \
  do {                                                                               \
    GTEST_FLAG_SET(death_test_style, "threadsafe");                                  \
    EXPECT_EXIT(                                                                     \
        {                                                                            \
          statement;                                                                 \
          std::exit(0);                                                              \
        },                                                                           \
        ::testing::ExitedWithCode(0), pattern);                                      \
  } while (0)

TEST(SocketApiLoad, ModuleWithoutGetaddrinfoGivesTheIpv4OnlyTable) {
  EXPECT_IN_FRESH_PROCESS(
      {
        setenv(kSocketModuleEnv, ORV_TEST_SOCK_NO_GETADDRINFO, 1);
        Result rc = A::load_library();
        fprintf(stderr, "rc=%d extended=%d optional=%d%d%d required=%d%d%d\n", rc,
                A::extended_functions_available(), A::pfn_getaddrinfo != nullptr,
                A::pfn_getnameinfo != nullptr, A::pfn_freeaddrinfo != nullptr,
                A::pfn_WSAStartup != nullptr, A::pfn___WSAFDIsSet != nullptr,
                A::pfn_WSAPoll != nullptr);
      },
      "rc=0 extended=0 optional=000 required=111");
}

TEST(SocketApiLoad, MissingSendtoFailsFreesTheModuleAndTheNextCallLoadsAgain) {
  EXPECT_IN_FRESH_PROCESS(
      {
        std::string log_path = log_everything();
        setenv(kSocketModuleEnv, ORV_TEST_SOCK_NO_SENDTO, 1);
        Result first = A::load_library();
        bool resident = dlopen(ORV_TEST_SOCK_NO_SENDTO, RTLD_NOW | RTLD_NOLOAD) != nullptr;
        bool table_empty = A::pfn_WSAStartup == nullptr && A::pfn_socket == nullptr;
        setenv(kSocketModuleEnv, ORV_TEST_SOCK_MODULE, 1);
        Result second = A::load_library();
        fprintf(stderr, "first=%d resident=%d empty=%d second=%d extended=%d\n", first, resident,
                table_empty, second, A::extended_functions_available());
        fprintf(stderr, "sendto lines=%d enter=%d exit=%d\n",
                count_lines(log_path,
                            "[NQelSocketAPI::set_api] fail GetProcAddress \"sendto\": "
                            "GetLastError()=127"),
                count_lines(log_path, "[NQelSocketAPI::set_api] enter."),
                count_lines(log_path, "[NQelSocketAPI::set_api] exit."));
        std::remove(log_path.c_str());
      },
      "first=-1 resident=0 empty=1 second=0 extended=1\nsendto lines=1 enter=2 exit=2");
}

TEST(SocketApiLoad, NoLoadableModuleGivesMinusTenUntilOneLoads) {
  EXPECT_IN_FRESH_PROCESS(
      {
        setenv(kSocketModuleEnv, "/nonexistent/liborv-sock.so", 1);
        Result first = A::start_v22();
        bool extended = A::extended_functions_available();
        Result stopped = A::stop();  // nothing loaded: nothing to stop
        setenv(kSocketModuleEnv, ORV_TEST_SOCK_MODULE, 1);
        Result second = A::start_v22();
        fprintf(stderr, "first=%d extended=%d stop=%d second=%d\n", first, extended, stopped,
                second);
      },
      "first=-10 extended=0 stop=0 second=0");
}

TEST(SocketApiLoad, StartsAreCountedAndRequiredBeforeSocketsAreMade) {
  EXPECT_IN_FRESH_PROCESS(
      {
        A::load_library();
        int early_cleanup = A::pfn_WSACleanup();
        int early_cleanup_error = A::pfn_WSAGetLastError();
        QelSocket early = A::pfn_socket(AF_INET, SOCK_DGRAM, 0);
        int early_error = A::pfn_WSAGetLastError();
        Result starts = A::start_v11() + A::start_v22();
        Result stops = A::stop() + A::stop();
        Result extra = A::stop();
        fprintf(stderr, "cleanup=%d/%d socket=%d/%d starts=%d stops=%d extra=%d\n", early_cleanup,
                early_cleanup_error, early, early_error, starts, stops, extra);
      },
      "cleanup=-1/10093 socket=-1/10093 starts=0 stops=0 extra=-1");
}

class SocketTable : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(A::start_v22(), kOk); }
  void TearDown() override { A::stop(); }

  // A UDP socket bound to 127.0.0.1 on a port the system picks.
  static QelSocket bound_socket(sockaddr_in* address) {
    QelSocket s = A::pfn_socket(AF_INET, SOCK_DGRAM, 0);
    EXPECT_NE(s, kQelInvalidSocket);
    *address = sockaddr_in{};
    address->sin_family = AF_INET;
    address->sin_addr.s_addr = A::pfn_inet_addr("127.0.0.1");
    EXPECT_EQ(A::pfn_bind(s, reinterpret_cast<sockaddr*>(address), sizeof *address), 0);
    int length = sizeof *address;
    EXPECT_EQ(A::pfn_getsockname(s, reinterpret_cast<sockaddr*>(address), &length), 0);
    EXPECT_NE(A::pfn_ntohs(address->sin_port), 0);
    return s;
  }
};

TEST_F(SocketTable, DatagramTravelsOverLoopbackThroughTheTable) {
  EXPECT_TRUE(A::extended_functions_available());
  sockaddr_in address{};
  QelSocket s = bound_socket(&address);
  const char message[] = "ping";
  ASSERT_EQ(A::pfn_sendto(s, message, 4, 0, reinterpret_cast<sockaddr*>(&address), sizeof address),
            4);

  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(s, &readable);
  const timeval timeout{2, 0};
  // The first argument is ignored: the sets give the highest descriptor.
  ASSERT_EQ(A::pfn_select(0, &readable, nullptr, nullptr, &timeout), 1);
  EXPECT_TRUE(A::pfn___WSAFDIsSet(s, &readable));
  EXPECT_EQ(timeout.tv_sec, 2);

  char buffer[16] = {};
  sockaddr_in from{};
  int from_length = sizeof from;
  ASSERT_EQ(A::pfn_recvfrom(s, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from),
                            &from_length),
            4);
  EXPECT_STREQ(buffer, "ping");
  EXPECT_EQ(from.sin_port, address.sin_port);
  EXPECT_STREQ(A::pfn_inet_ntoa(from.sin_addr), "127.0.0.1");
  EXPECT_EQ(A::pfn_closesocket(s), 0);
}

TEST_F(SocketTable, DottedTextMatchesTheSystemsForEveryOctetValue) {
  // Each octet value in each place, plus a few whole addresses.
  std::vector<uint32_t> addresses = {0x00000000u, 0xFFFFFFFFu, 0x0100007Fu, 0x0A64C8C0u};
  for (uint32_t v = 0; v < 256; ++v) addresses.push_back(v | ((v ^ 7) << 8) | ((v >> 1) << 16) | ((255 - v) << 24));
  for (uint32_t a : addresses) {
    in_addr address{};
    address.s_addr = a;
    std::string expected = ::inet_ntoa(address);
    EXPECT_EQ(std::string(A::pfn_inet_ntoa(address)), expected);
  }
}

TEST_F(SocketTable, LongDatagramArrivesCutAndEmptyNonBlockingReceiveIsAnError) {
  sockaddr_in address{};
  QelSocket s = bound_socket(&address);
  unsigned long non_blocking = 1;
  ASSERT_EQ(A::pfn_ioctlsocket(s, FIONBIO, &non_blocking), 0);
  char buffer[4];
  EXPECT_EQ(A::pfn_recvfrom(s, buffer, sizeof buffer, 0, nullptr, nullptr), kQelSocketError);
  EXPECT_EQ(A::pfn_WSAGetLastError(), EAGAIN);

  const char message[] = "longer than four";
  ASSERT_GT(A::pfn_sendto(s, message, sizeof message, 0, reinterpret_cast<sockaddr*>(&address),
                          sizeof address),
            0);
  unsigned long waiting = 0;
  for (int tries = 0; tries < 100 && waiting == 0; ++tries) {
    ASSERT_EQ(A::pfn_ioctlsocket(s, FIONREAD, &waiting), 0);
    if (waiting == 0) usleep(1000);
  }
  EXPECT_EQ(waiting, sizeof message);
  EXPECT_EQ(A::pfn_recvfrom(s, buffer, sizeof buffer, 0, nullptr, nullptr),
            static_cast<int>(sizeof buffer));
  EXPECT_EQ(std::memcmp(buffer, "long", 4), 0);
  A::pfn_closesocket(s);
}

TEST_F(SocketTable, StartupAgreesOnAVersionAndRefusesVersionZero) {
  QelWsaData data{};
  ASSERT_EQ(A::pfn_WSAStartup(0x0303, &data), 0);
  EXPECT_EQ(data.version, kQelSocketVersion22);
  EXPECT_EQ(data.high_version, kQelSocketVersion22);
  ASSERT_EQ(A::pfn_WSAStartup(kQelSocketVersion11, &data), 0);
  EXPECT_EQ(data.version, kQelSocketVersion11);
  EXPECT_EQ(A::pfn_WSACleanup() + A::pfn_WSACleanup(), 0);
  EXPECT_EQ(A::pfn_WSAStartup(0x0000, &data), kQelWsaVersionNotSupported);
}

TEST_F(SocketTable, NameLookupsAnswerFromTheTable) {
  hostent* host = A::pfn_gethostbyname("localhost");
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->h_addrtype, AF_INET);
  servent* service = A::pfn_getservbyname("snmp", "udp");
  if (service) {
    EXPECT_EQ(A::pfn_ntohs(static_cast<uint16_t>(service->s_port)), 161);
  }
  char name[256] = {};
  EXPECT_EQ(A::pfn_gethostname(name, sizeof name), 0);
  EXPECT_GT(std::strlen(name), 0u);

  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* list = nullptr;
  ASSERT_EQ(A::pfn_getaddrinfo("ff02:0::1", nullptr, &hints, &list), 0);
  char text[NI_MAXHOST] = {};
  EXPECT_EQ(A::pfn_getnameinfo(list->ai_addr, list->ai_addrlen, text, sizeof text, nullptr, 0,
                               NI_NUMERICHOST),
            0);
  EXPECT_STREQ(text, "ff02::1");
  A::pfn_freeaddrinfo(list);
}

TEST(LibraryLoader, EntriesCountOnlyWhenTheModuleItselfDefinesThem) {
  QelModule module = qel_load_library(kSocketModuleName);
  ASSERT_NE(module, nullptr);
  int32_t error = 0;
  EXPECT_NE(qel_get_proc_address(module, "sendto", &error), nullptr);
  EXPECT_EQ(error, 0);
  // The C library, a dependency of the module, has printf; the module does not.
  EXPECT_EQ(qel_get_proc_address(module, "printf", &error), nullptr);
  EXPECT_EQ(error, kProcNotFound);
  EXPECT_EQ(qel_get_proc_address(nullptr, "sendto", &error), nullptr);
  EXPECT_EQ(error, kModuleNotFound);
  qel_free_library(module);
  EXPECT_EQ(qel_load_library("liborv-no-such-module.so"), nullptr);
  EXPECT_EQ(qel_load_library(nullptr), nullptr);
}

TEST(LibraryLoader, ModulesAreFoundWhereverTheWorkingDirectoryIs) {
  EXPECT_IN_FRESH_PROCESS(
      {
        unsetenv(kSocketModuleEnv);
        int moved = chdir("/");
        fprintf(stderr, "chdir=%d load=%d\n", moved, A::load_library());
      },
      "chdir=0 load=0");
}

}  // namespace
}  // namespace orv::net
