#include "net/kernel_local_routes.h"

#include <arpa/inet.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace orv::net {
namespace {

constexpr int kReceiveTimeoutSeconds = 2;
constexpr int kMaxReads = 10000;  // a dump of a very large table still ends
constexpr size_t kReadSize = 32768;
constexpr uint32_t kFullMask = 0xffffffffu;

uint32_t mask_of_prefix(unsigned prefix) {
  if (prefix == 0) return 0;
  if (prefix >= 32) return kFullMask;
  return htonl(~((1u << (32 - prefix)) - 1));
}

uint32_t attribute_u32(const rtattr* attribute) {
  uint32_t value = 0;
  if (RTA_PAYLOAD(attribute) >= sizeof value) std::memcpy(&value, RTA_DATA(attribute), sizeof value);
  return value;
}

void parse_route(const nlmsghdr* message, std::vector<LocalTableRoute>* routes) {
  if (message->nlmsg_type != RTM_NEWROUTE || message->nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg))) {
    return;
  }
  const auto* info = static_cast<const rtmsg*>(NLMSG_DATA(message));
  if (info->rtm_family != AF_INET || (info->rtm_flags & RTM_F_CLONED)) return;
  if (info->rtm_type != RTN_LOCAL && info->rtm_type != RTN_BROADCAST) return;
  uint32_t table = info->rtm_table;
  LocalTableRoute route;
  route.mask = mask_of_prefix(info->rtm_dst_len);
  int left = static_cast<int>(RTM_PAYLOAD(message));
  for (const rtattr* attribute = RTM_RTA(info); RTA_OK(attribute, left);
       attribute = RTA_NEXT(attribute, left)) {
    if (attribute->rta_type == RTA_TABLE) table = attribute_u32(attribute);
    if (attribute->rta_type == RTA_DST) route.dest = attribute_u32(attribute);
    if (attribute->rta_type == RTA_OIF) route.if_index = attribute_u32(attribute);
  }
  if (table == RT_TABLE_LOCAL) routes->push_back(route);
}

class NetlinkSocket {
 public:
  NetlinkSocket() : fd_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)) {}
  ~NetlinkSocket() {
    if (fd_ >= 0) ::close(fd_);
  }
  NetlinkSocket(const NetlinkSocket&) = delete;
  NetlinkSocket& operator=(const NetlinkSocket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool read_kernel_local_routes(std::vector<LocalTableRoute>* routes) {
  routes->clear();
  NetlinkSocket socket;
  if (socket.fd() < 0) return false;
  timeval timeout{kReceiveTimeoutSeconds, 0};
  setsockopt(socket.fd(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  struct {
    nlmsghdr header;
    rtmsg body;
  } request{};
  request.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtmsg));
  request.header.nlmsg_type = RTM_GETROUTE;
  request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.header.nlmsg_seq = 1;
  request.body.rtm_family = AF_INET;
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  if (sendto(socket.fd(), &request, request.header.nlmsg_len, 0,
             reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) < 0) {
    return false;
  }
  std::vector<char> buffer(kReadSize);
  for (int reads = 0; reads < kMaxReads; ++reads) {
    ssize_t got = recv(socket.fd(), buffer.data(), buffer.size(), 0);
    if (got <= 0) return false;
    size_t end = static_cast<size_t>(got);
    // Each message is checked to lie whole inside what was read.
    for (size_t at = 0; at + sizeof(nlmsghdr) <= end;) {
      const auto* message = reinterpret_cast<const nlmsghdr*>(buffer.data() + at);
      if (message->nlmsg_len < sizeof(nlmsghdr) || message->nlmsg_len > end - at) break;
      if (message->nlmsg_seq == request.header.nlmsg_seq) {
        if (message->nlmsg_type == NLMSG_DONE) return true;
        if (message->nlmsg_type == NLMSG_ERROR) return false;
        parse_route(message, routes);
      }
      at += NLMSG_ALIGN(message->nlmsg_len);
    }
  }
  return false;
}

}  // namespace orv::net
