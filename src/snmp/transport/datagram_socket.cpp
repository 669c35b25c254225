#include "snmp/transport/datagram_socket.h"

#include <netinet/in.h>
#include <poll.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "net/ipv4_text_address.h"
#include "net/socket_api.h"
#include "snmp/transport/ipv6_group.h"
#include "snmp/transport/socket_log.h"

namespace orv {
namespace {

using net::NQelSocketAPI;

static_assert(sizeof(ip_mreq) == 8, "IPv4 membership record: group, then interface");
static_assert(sizeof(ipv6_mreq) == 20, "IPv6 membership record: group, then interface index");

int last_error() { return NQelSocketAPI::pfn_WSAGetLastError(); }

}  // namespace

DataGramSocket::~DataGramSocket() {
  local_.reset();
  if (handle_ != net::kQelInvalidSocket) NQelSocketAPI::pfn_closesocket(handle_);
  if (started_ && NQelSocketAPI::is_loaded()) NQelSocketAPI::stop();
}

void DataGramSocket::destroy() { delete this; }

Result DataGramSocket::open(bool ipv6_only) {
  Result rc = startup();
  if (rc != kOk) return rc;
  started_ = true;
  if (create_handle() != kOk) {
    socket_log().log(log::kError, "fail socket(). WSAGetLastError()=%d", last_error());
    return kErrSocketCreate;
  }
  const int32_t on = 1;
  if (ipv6_only && local_->protocol() == IQelNetworkAddress::kProtocolIpv6 &&
      NQelSocketAPI::pfn_setsockopt(handle_, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&on),
                                    sizeof on) == net::kQelSocketError) {
    socket_log().log(log::kError, "fail setsockopt(). can't set IPv6 only. WSAGetLastError()=%d", last_error());
    return kErrSocketBind;
  }
  sockaddr_storage address{};
  int length = 0;
  if (to_sockaddr(local_.get(), &address, &length) != kOk) return kErrSocketBind;
  if (NQelSocketAPI::pfn_bind(handle_, reinterpret_cast<const sockaddr*>(&address), length) ==
      net::kQelSocketError) {
    const int error = last_error();
    socket_log().log(log::kError, "fail bind(). WSAGetLastError()=%d", error);
    // A port in use and a privileged port call for different remedies.
    return error == EACCES || error == EPERM ? kErrSocketAccess : kErrSocketBind;
  }
  DatagramSender bound;
  bound.length = kSockaddrBufferSize;
  if (NQelSocketAPI::pfn_getsockname(handle_, reinterpret_cast<sockaddr*>(&bound.address),
                                     &bound.length) == net::kQelSocketError) {
    return kErrPlatform;
  }
  // Bound to the any-address it holds, the local address only lacks the
  // port the system chose.
  uint16_t bound_port = 0;
  if (same_host(reinterpret_cast<const sockaddr*>(&bound.address), bound.length, local_.get(), &bound_port)) {
    local_->set_port(bound_port);
  } else if (from_sockaddr(reinterpret_cast<const sockaddr*>(&bound.address), bound.length, local_.get()) != kOk) {
    return kErrPlatform;
  }
  uint16_t port = local_->port();
  socket_log().log(log::kDebug, "create socket. id:0x%x port:%d(0x%x)",
                   static_cast<unsigned>(handle_), port, port);
  return kOk;
}

Result DataGramSocket::send(const uint8_t* buffer, uint32_t length,
                            const IQelNetworkAddress* destination) {
  if (!buffer || !destination || length > static_cast<uint32_t>(INT_MAX)) return kErrInvalidArg;
  uint16_t local_port = local_->port();
  uint16_t port = destination->port();
  socket_log().log(log::kDebug,
                   "[DataGramSocket::send] send packet. port:%d(0x%x) -> %s:%d(0x%x).",
                   local_port, local_port, address_text_or_empty(destination), port, port);
  sockaddr_storage address{};
  int address_length = 0;
  if (to_sockaddr(destination, &address, &address_length) != kOk) return kErrInvalidArg;
  int sent = NQelSocketAPI::pfn_sendto(handle_, reinterpret_cast<const char*>(buffer),
                                       static_cast<int>(length), 0,
                                       reinterpret_cast<const sockaddr*>(&address),
                                       address_length);
  if (sent == net::kQelSocketError) {
    socket_log().log(log::kError, "fail send(). WSAGetLastError()=%d", last_error());
    return kErrSend;
  }
  if (static_cast<uint32_t>(sent) != length) {
    socket_log().log(log::kWarn, "send(). size of sended bytes is not same that of buffer.");
  }
  return kOk;
}

Result DataGramSocket::wait_readable(int32_t timeout_ms) {
  // poll would skip a closed handle and wait in vain; only -1 means no limit.
  if (handle_ < 0 || timeout_ms < -1) {
    socket_log().log(log::kError, "fail select(). WSAGetLastError()=%d", handle_ < 0 ? EBADF : EINVAL);
    return kErrReceive;
  }
  // poll has no bound on the descriptor's value (a busy host holds more than
  // select's 1024), and the table's poll resumes after a signal with the
  // time that is left.
  pollfd wanted{};
  wanted.fd = handle_;
  wanted.events = POLLIN;
  int ready = NQelSocketAPI::pfn_WSAPoll(&wanted, 1, timeout_ms);
  if (ready == net::kQelSocketError) {
    socket_log().log(log::kError, "fail select(). WSAGetLastError()=%d", last_error());
    return kErrReceive;
  }
  if (ready == 0) {
    socket_log().log(log::kTrace, "select API timeout.");
    return kErrTimeout;
  }
  return kOk;
}

Result DataGramSocket::wait_and_read(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                                     uint32_t* received_length, DatagramSender* sender) {
  Result rc = wait_readable(timeout_ms);
  if (rc != kOk) return rc;
  sender->length = kSockaddrBufferSize;
  int limit = capacity > static_cast<uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(capacity);
  int count = NQelSocketAPI::pfn_recvfrom(handle_, reinterpret_cast<char*>(buffer), limit, 0,
                                          reinterpret_cast<sockaddr*>(&sender->address), &sender->length);
  if (count < 0) {
    socket_log().log(log::kError, "fail recvfrom(). WSAGetLastError()=%d", last_error());
    return kErrReceive;
  }
  *received_length = static_cast<uint32_t>(count);
  return kOk;
}

void DataGramSocket::log_received(const IQelNetworkAddress* sender) {
  uint16_t local_port = local_->port();
  uint16_t port = sender->port();
  socket_log().log(log::kDebug,
                   "[DataGramSocket::receive] receive packet port:%d(0x%x) <- %s:%d(0x%x).",
                   local_port, local_port, address_text_or_empty(sender), port, port);
}

Result DataGramSocket::receive(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                               uint32_t* received_length, IQelNetworkAddress** sender) {
  if (!buffer || !received_length || !sender) return kErrInvalidArg;
  *sender = nullptr;
  DatagramSender from;
  Result rc = wait_and_read(buffer, capacity, timeout_ms, received_length, &from);
  if (rc != kOk) return rc;
  IQelNetworkAddress* made = nullptr;
  rc = sender_address(from, &made);
  if (rc != kOk) return rc;
  log_received(made);
  *sender = made;
  return kOk;
}

Result DataGramSocket::receive_from(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                                    uint32_t* received_length, DatagramSender* sender) {
  if (!buffer || !received_length || !sender) return kErrInvalidArg;
  Result rc = wait_and_read(buffer, capacity, timeout_ms, received_length, sender);
  return rc == kOk ? log_received_from(*sender) : rc;
}

Result DataGramSocket::log_received_from(const DatagramSender& sender) {
  if (!socket_log().enabled(log::kDebug)) return kOk;
  // The line names the sender as receive() does, so it takes the same object.
  IQelNetworkAddress* made = nullptr;
  Result rc = sender_address(sender, &made);
  if (rc != kOk) return rc;
  NetworkAddressPtr shown(made);
  log_received(shown.get());
  return kOk;
}

Result DataGramSocket::sender_address(const DatagramSender& sender, IQelNetworkAddress** out) {
  if (!out) return kErrInvalidArg;
  *out = nullptr;
  Result rc = kOk;
  NetworkAddressPtr address(qel_create_network_address(&rc));
  if (!address) return kErrNoMemory;
  if (from_sockaddr(reinterpret_cast<const sockaddr*>(&sender.address), sender.length, address.get()) != kOk) {
    socket_log().log(log::kError,
                     "[DataGramSocket::receive] fail create CQelNetworkAddress ( success "
                     "recvfrom() ).");
    return kErrPlatform;
  }
  *out = address.release();
  return kOk;
}

bool DataGramSocket::sender_is(const DatagramSender& sender, const IQelNetworkAddress* address) {
  uint16_t port = 0;
  return address && same_host(reinterpret_cast<const sockaddr*>(&sender.address), sender.length, address, &port) &&
         port == address->port();
}

Result DataGramSocket::set_broadcast(bool enable) {
  if (local_->protocol() == IQelNetworkAddress::kProtocolIpv6) return kOk;
  int32_t flag = enable ? 1 : 0;
  if (NQelSocketAPI::pfn_setsockopt(handle_, SOL_SOCKET, SO_BROADCAST,
                                    reinterpret_cast<const char*>(&flag),
                                    sizeof flag) == net::kQelSocketError) {
    socket_log().log(log::kError,
                     "fail setsockopt(). can't set broadcast flag. WSAGetLastError()=%d",
                     last_error());
    return kErrPlatform;
  }
  return kOk;
}

Result DataGramSocket::join_multicast(const char* group) {
  if (!group) return kErrInvalidArg;
  int level = 0;
  int option = 0;
  ip_mreq v4{};
  ipv6_mreq v6{};
  const void* record = nullptr;
  int record_length = 0;
  switch (local_->protocol()) {
    case IQelNetworkAddress::kProtocolIpv4: {
      uint32_t address = 0;
      if (!net::ipv4_text_to_address(group, &address)) {
        socket_log().log(log::kError, "fail inet_addr(). WSAGetLastError()=%d", last_error());
        return kErrPlatform;
      }
      v4.imr_multiaddr.s_addr = address;
      v4.imr_interface.s_addr = INADDR_ANY;
      level = IPPROTO_IP;
      option = IP_ADD_MEMBERSHIP;
      record = &v4;
      record_length = sizeof v4;
      break;
    }
    case IQelNetworkAddress::kProtocolIpv6: {
      uint8_t bytes[16];
      if (session::parse_ipv6_group(group, bytes) != kOk) return kErrInvalidArg;
      std::memcpy(&v6.ipv6mr_multiaddr, bytes, sizeof bytes);
      v6.ipv6mr_interface = 0;
      level = IPPROTO_IPV6;
      option = IPV6_JOIN_GROUP;
      record = &v6;
      record_length = sizeof v6;
      break;
    }
    default:
      return kErrInvalidArg;
  }
  if (NQelSocketAPI::pfn_setsockopt(handle_, level, option, static_cast<const char*>(record),
                                    record_length) == net::kQelSocketError) {
    socket_log().log(log::kError,
                     "fail setsockopt(). can't set multicast flag. WSAGetLastError()=%d",
                     last_error());
    return kErrPlatform;
  }
  return kOk;
}

}  // namespace orv
