// What the system says beside a datagram: that it arrived cut, and how many
// datagrams it dropped at the socket because its buffer was full. The trap
// receiver, which cannot ask a sender again, counts what it lost by them.
#include <linux/sock_diag.h>
#include <sys/socket.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "net/socket_api.h"
#include "snmp/transport/datagram_socket.h"
#include "snmp/transport/socket_log.h"

namespace orv {
namespace {

using net::NQelSocketAPI;

// The drop count that SO_RXQ_OVFL attaches, when it is not 0.
void read_drop_note(msghdr* message, DatagramReceipt* receipt) {
  for (cmsghdr* note = CMSG_FIRSTHDR(message); note; note = CMSG_NXTHDR(message, note)) {
    if (note->cmsg_level == SOL_SOCKET && note->cmsg_type == SO_RXQ_OVFL &&
        note->cmsg_len >= CMSG_LEN(sizeof receipt->drops)) {
      std::memcpy(&receipt->drops, CMSG_DATA(note), sizeof receipt->drops);
    }
  }
}

}  // namespace

Result DataGramSocket::enable_drop_count() {
  const int32_t on = 1;
  if (NQelSocketAPI::pfn_setsockopt(handle_, SOL_SOCKET, SO_RXQ_OVFL, reinterpret_cast<const char*>(&on),
                                    sizeof on) == net::kQelSocketError) {
    socket_log().log(log::kError, "fail setsockopt(). can't ask for the drop count. WSAGetLastError()=%d",
                     NQelSocketAPI::pfn_WSAGetLastError());
    return kErrPlatform;
  }
  return kOk;
}

Result DataGramSocket::receive_message(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                                       DatagramReceipt* receipt) {
  if (!buffer || !receipt) return kErrInvalidArg;
  *receipt = DatagramReceipt{};
  // A module without the call: the datagram all the same, without the notes.
  if (!NQelSocketAPI::pfn_WSARecvMsg)
    return receive_from(buffer, capacity, timeout_ms, &receipt->length, &receipt->sender);
  Result rc = wait_readable(timeout_ms);
  if (rc != kOk) return rc;
  iovec part{buffer, std::min<uint32_t>(capacity, INT_MAX)};
  alignas(cmsghdr) char notes[CMSG_SPACE(sizeof receipt->drops)];
  msghdr message{};
  message.msg_name = &receipt->sender.address;
  message.msg_namelen = kSockaddrBufferSize;
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  message.msg_control = notes;
  message.msg_controllen = sizeof notes;
  const int count = NQelSocketAPI::pfn_WSARecvMsg(handle_, &message, 0);
  if (count < 0) {
    socket_log().log(log::kError, "fail recvfrom(). WSAGetLastError()=%d", NQelSocketAPI::pfn_WSAGetLastError());
    return kErrReceive;
  }
  receipt->length = static_cast<uint32_t>(count);
  receipt->sender.length = static_cast<int>(message.msg_namelen);
  receipt->truncated = (message.msg_flags & MSG_TRUNC) != 0;
  read_drop_note(&message, receipt);
  return log_received_from(receipt->sender);
}

Result DataGramSocket::read_drop_count(uint32_t* drops) {
  if (!drops) return kErrInvalidArg;
  uint32_t memory[SK_MEMINFO_VARS] = {};
  int length = sizeof memory;
  if (NQelSocketAPI::pfn_getsockopt(handle_, SOL_SOCKET, SO_MEMINFO, reinterpret_cast<char*>(memory),
                                    &length) == net::kQelSocketError ||
      length < static_cast<int>((SK_MEMINFO_DROPS + 1) * sizeof(uint32_t))) {
    return kErrPlatform;
  }
  *drops = memory[SK_MEMINFO_DROPS];
  return kOk;
}

}  // namespace orv
