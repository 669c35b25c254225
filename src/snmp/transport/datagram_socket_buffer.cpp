// The receive buffer of a socket: how many answers may wait in the kernel
// while the session takes them one by one.
#include <sys/socket.h>

#include <algorithm>
#include <climits>
#include <fstream>

#include "net/socket_api.h"
#include "snmp/transport/datagram_socket.h"
#include "snmp/transport/socket_log.h"

namespace orv {
namespace {

using net::NQelSocketAPI;

constexpr const char* kReceiveBufferMaxFile = "/proc/sys/net/core/rmem_max";

// The largest receive buffer an unprivileged process may ask for; INT_MAX
// when the system does not say (the kernel then caps the request itself).
int32_t system_receive_buffer_max() {
  std::ifstream in(kReceiveBufferMaxFile);
  long value = 0;
  if (!(in >> value) || value <= 0) return INT_MAX;
  return static_cast<int32_t>(std::min<long>(value, INT_MAX));
}

bool set_int_option(net::QelSocket handle, int option, int32_t value) {
  return NQelSocketAPI::pfn_setsockopt(handle, SOL_SOCKET, option,
                                       reinterpret_cast<const char*>(&value),
                                       sizeof value) != net::kQelSocketError;
}

}  // namespace

Result DataGramSocket::set_receive_buffer(uint32_t bytes) {
  const auto wanted = static_cast<int32_t>(std::min<uint32_t>(bytes, INT_MAX));
  // Forcing needs CAP_NET_ADMIN; without it the system's maximum is the limit.
  if (!set_int_option(handle_, SO_RCVBUFFORCE, wanted) &&
      !set_int_option(handle_, SO_RCVBUF, std::min(wanted, system_receive_buffer_max()))) {
    socket_log().log(log::kError,
                     "fail setsockopt(). can't set receive buffer. WSAGetLastError()=%d",
                     NQelSocketAPI::pfn_WSAGetLastError());
    return kErrPlatform;
  }
  int32_t granted = 0;
  int length = sizeof granted;
  if (NQelSocketAPI::pfn_getsockopt(handle_, SOL_SOCKET, SO_RCVBUF,
                                    reinterpret_cast<char*>(&granted),
                                    &length) != net::kQelSocketError) {
    socket_log().log(log::kDebug, "receive buffer. asked:%u granted:%d", bytes, granted);
  }
  return kOk;
}

}  // namespace orv
