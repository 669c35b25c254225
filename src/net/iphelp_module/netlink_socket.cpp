#include "iphelp_module/netlink_socket.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <vector>

namespace orv::iphelp {
namespace {

constexpr int kReceiveTimeoutSeconds = 2;
constexpr int kMaxReads = 10000;  // a dump of a very large table still ends
constexpr size_t kReadSize = 32768;

std::atomic<uint32_t> g_sequence{1};

class Socket {
 public:
  Socket() : fd_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool netlink_exchange(const nlmsghdr* request, const std::function<void(const nlmsghdr*)>& on_message,
                      int* kernel_error) {
  if (kernel_error) *kernel_error = 0;
  Socket socket;
  if (socket.fd() < 0) return false;
  timeval timeout{kReceiveTimeoutSeconds, 0};
  setsockopt(socket.fd(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;

  std::vector<char> copy(reinterpret_cast<const char*>(request),
                         reinterpret_cast<const char*>(request) + request->nlmsg_len);
  auto* header = reinterpret_cast<nlmsghdr*>(copy.data());
  uint32_t sequence = g_sequence.fetch_add(1);
  header->nlmsg_seq = sequence;
  if (sendto(socket.fd(), copy.data(), copy.size(), 0, reinterpret_cast<sockaddr*>(&kernel),
             sizeof kernel) < 0) {
    return false;
  }
  bool multipart = header->nlmsg_flags & NLM_F_DUMP;
  std::vector<char> buffer(kReadSize);
  for (int reads = 0; reads < kMaxReads; ++reads) {
    ssize_t got = recv(socket.fd(), buffer.data(), buffer.size(), 0);
    if (got < 0) return false;
    int remaining = static_cast<int>(got);
// NLMSG_OK compares the header's unsigned length with the signed count;
// clang reports that inside the system macro.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-compare"
    for (auto* message = reinterpret_cast<const nlmsghdr*>(buffer.data());
         NLMSG_OK(message, remaining); message = NLMSG_NEXT(message, remaining)) {
#pragma GCC diagnostic pop
      if (message->nlmsg_seq != sequence) continue;
      if (message->nlmsg_type == NLMSG_DONE) return true;
      if (message->nlmsg_type == NLMSG_ERROR) {
        const auto* error = static_cast<const nlmsgerr*>(NLMSG_DATA(message));
        if (message->nlmsg_len < NLMSG_LENGTH(sizeof(nlmsgerr))) return false;
        if (error->error == 0) return true;  // acknowledgement
        if (kernel_error) *kernel_error = -error->error;
        return false;
      }
      on_message(message);
      if (!multipart) return true;
    }
  }
  return false;
}

}  // namespace orv::iphelp
