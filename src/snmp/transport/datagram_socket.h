// One UDP (or IPX) datagram socket of the run-time socket table, bound to a
// local address whose protocol decides the family. Sessions and the trap
// receiver put every message on the wire through this class.
#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <memory>

#include "net/network_address.h"
#include "net/socket_types.h"
#include "result_codes.h"

namespace orv {

// The sender of a received datagram as the system reported it. Most
// answers come from where the request went, so an address object is made of
// it only where one is needed.
struct DatagramSender {
  sockaddr_storage address;
  int length = 0;
};

// What receive_message() learnt beside the datagram.
struct DatagramReceipt {
  uint32_t length = 0;  // bytes in the buffer
  DatagramSender sender;
  bool truncated = false;  // the datagram was longer than the buffer and arrived cut
  // The system's count of datagrams it dropped at this socket for want of
  // room, as of this one's arrival (32 bits, wrapping); 0 until the first.
  uint32_t drops = 0;
};

class IDataGramSocket {
 public:
  // Slot order is part of the interface; do not reorder.
  virtual void destroy() = 0;                                                       // 1
  // 0, -2 for a missing buffer or destination or an unconvertible
  // destination, -205 when sendto fails. A short send is logged, not failed.
  virtual Result send(const uint8_t* buffer, uint32_t length,
                      const IQelNetworkAddress* destination) = 0;                   // 2
  // Waits up to `timeout_ms` (-1: no limit) for one datagram. 0 with the
  // count and a new sender address (caller releases it); -203 when nothing
  // arrived, -204 when select or recvfrom fail, -2, -3, -1.
  virtual Result receive(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                         uint32_t* received_length, IQelNetworkAddress** sender) = 0;  // 3
  // The socket's own local address (lent): after the open it carries the
  // port that the system chose.
  virtual IQelNetworkAddress* local_address() = 0;                                  // 4
  virtual Result set_broadcast(bool enable) = 0;                                    // 5
  virtual Result join_multicast(const char* group) = 0;                             // 6
  // Room for `bytes` of queued datagrams, for bursts of answers: forced past
  // the system's maximum where the process may, else up to that maximum.
  // 0, or -1 when the system refuses even that (the old size then stays).
  virtual Result set_receive_buffer(uint32_t bytes) = 0;                            // 7
  // receive() without the sender's address object: the same waits, results
  // and log lines, the sender kept as the system reported it.
  virtual Result receive_from(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                              uint32_t* received_length, DatagramSender* sender) = 0;  // 8
  // The address object receive() would have handed over (caller releases
  // it): 0, -3, or -1 with receive()'s log line for an unreadable sender.
  virtual Result sender_address(const DatagramSender& sender, IQelNetworkAddress** out) = 0;  // 9
  // Whether that object would hold exactly `address`'s text, protocol and
  // port, so that `address` can stand in for it.
  virtual bool sender_is(const DatagramSender& sender, const IQelNetworkAddress* address) = 0;  // 10
  // Asks the system to hand its drop count with every datagram. 0, or -1.
  virtual Result enable_drop_count() = 0;                                           // 11
  // receive_from() that also tells a cut datagram and the drop count.
  virtual Result receive_message(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                                 DatagramReceipt* receipt) = 0;                     // 12
  // The system's drop count now, also for datagrams dropped after the last
  // one read. 0, or -1 when the system cannot tell.
  virtual Result read_drop_count(uint32_t* drops) = 0;                              // 13

 protected:
  virtual ~IDataGramSocket() = default;
};

struct DataGramSocketDestroy {
  void operator()(IDataGramSocket* socket) const {
    if (socket) socket->destroy();
  }
};
using DataGramSocketPtr = std::unique_ptr<IDataGramSocket, DataGramSocketDestroy>;

// An address's text for a log line; "" for none.
inline const char* address_text_or_empty(const IQelNetworkAddress* address) {
  const char* text = address ? address->text() : nullptr;
  return text ? text : "";
}

// Socket addresses are handled in buffers of this size.
inline constexpr int kSockaddrBufferSize = 128;
static_assert(sizeof(sockaddr_storage) == kSockaddrBufferSize);

// The common part: open, send, receive and the socket options over the
// family hooks that the three family classes implement.
class DataGramSocket : public IDataGramSocket {
 public:
  DataGramSocket(const DataGramSocket&) = delete;
  DataGramSocket& operator=(const DataGramSocket&) = delete;

  void destroy() override;
  Result send(const uint8_t* buffer, uint32_t length,
              const IQelNetworkAddress* destination) override;
  Result receive(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                 uint32_t* received_length, IQelNetworkAddress** sender) override;
  IQelNetworkAddress* local_address() override { return local_.get(); }
  Result set_broadcast(bool enable) override;
  Result join_multicast(const char* group) override;
  Result set_receive_buffer(uint32_t bytes) override;
  Result receive_from(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                      uint32_t* received_length, DatagramSender* sender) override;
  Result sender_address(const DatagramSender& sender, IQelNetworkAddress** out) override;
  bool sender_is(const DatagramSender& sender, const IQelNetworkAddress* address) override;
  Result enable_drop_count() override;
  Result receive_message(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                         DatagramReceipt* receipt) override;
  Result read_drop_count(uint32_t* drops) override;

  // Start-up, socket, bind, and the read-back of the bound address.
  // `ipv6_only`: an IPv6 socket takes no IPv4 traffic, so that an IPv4
  // socket may have the same port.
  Result open(bool ipv6_only = false);

  // Family hooks, in slot order.
  virtual Result startup() = 0;
  // Stores the family's any-address text in the local address.
  virtual Result set_any_address() = 0;
  virtual Result from_sockaddr(const sockaddr* address, int length, IQelNetworkAddress* out) = 0;
  // `*length` receives the length to pass with the filled address.
  virtual Result to_sockaddr(const IQelNetworkAddress* address, sockaddr_storage* out,
                             int* length) = 0;
  virtual Result create_handle() = 0;
  // True, with the port in `*port`, when from_sockaddr() would give `object`
  // exactly its text and protocol; false whenever that is not certain.
  virtual bool same_host(const sockaddr* address, int length, const IQelNetworkAddress* object,
                         uint16_t* port) const = 0;

  net::QelSocket handle() const { return handle_; }

 protected:
  explicit DataGramSocket(NetworkAddressPtr local) : local_(std::move(local)) {}
  ~DataGramSocket() override;

  net::QelSocket handle_ = net::kQelInvalidSocket;
  NetworkAddressPtr local_;
  bool started_ = false;

 private:
  // The wait of receive(), with its log lines: 0 once a datagram waits.
  Result wait_readable(int32_t timeout_ms);
  // The wait and the read of receive(), with their log lines.
  Result wait_and_read(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                       uint32_t* received_length, DatagramSender* sender);
  void log_received(const IQelNetworkAddress* sender);
  // receive_from()'s Debug line, for which the sender's object is made.
  Result log_received_from(const DatagramSender& sender);
};

// A socket for `protocol` (1 IPv4, 2 IPX, 4 IPv6) bound to `local_port` (0:
// the system chooses) on the family's any-address. 0 with *out set (caller
// destroys it); otherwise *out stays null: -2 for a null out or another
// protocol, -3, and the open's failures. `ipv6_only` as for open().
Result create_datagram_socket(int32_t protocol, uint16_t local_port, IDataGramSocket** out,
                              bool ipv6_only = false);
Result create_datagram_socket(int32_t protocol, IDataGramSocket** out);

}  // namespace orv
