#include "socket_module/module_state.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "net/socket_types.h"
#include "socket_module/posix_calls.h"

namespace orv::sockmod {
namespace {

std::atomic<int> g_start_count{0};
thread_local int t_last_error = 0;

constexpr uint16_t kHighestVersion = net::kQelSocketVersion22;

int major_of(uint16_t version) { return version & 0xff; }
int minor_of(uint16_t version) { return version >> 8; }

}  // namespace

void set_last_error(int error) { t_last_error = error; }

int fail_with(int error) {
  t_last_error = error;
  return net::kQelSocketError;
}

int fail_with_errno() {
  t_last_error = errno;
  return net::kQelSocketError;
}

bool require_started() {
  if (g_start_count.load() > 0) return true;
  t_last_error = net::kQelWsaNotInitialised;
  return false;
}

int start(uint16_t version, void* data) {
  if (major_of(version) == 0) {
    t_last_error = net::kQelWsaVersionNotSupported;
    return net::kQelWsaVersionNotSupported;
  }
  if (!data) {
    t_last_error = net::kQelWsaFault;
    return net::kQelWsaFault;
  }
  bool above_highest = major_of(version) > major_of(kHighestVersion) ||
                       (major_of(version) == major_of(kHighestVersion) &&
                        minor_of(version) > minor_of(kHighestVersion));
  auto* wsa = static_cast<net::QelWsaData*>(data);
  *wsa = net::QelWsaData{};
  wsa->version = above_highest ? kHighestVersion : version;
  wsa->high_version = kHighestVersion;
  snprintf(wsa->description, sizeof wsa->description, "%s", "orv socket module");
  snprintf(wsa->system_status, sizeof wsa->system_status, "%s", "Running");
  g_start_count.fetch_add(1);
  return 0;
}

int cleanup() {
  int count = g_start_count.load();
  while (count > 0 && !g_start_count.compare_exchange_weak(count, count - 1)) {
  }
  if (count <= 0) {
    t_last_error = net::kQelWsaNotInitialised;
    return net::kQelSocketError;
  }
  return 0;
}

int last_error() { return t_last_error; }

}  // namespace orv::sockmod
