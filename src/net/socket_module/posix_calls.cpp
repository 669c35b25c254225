// Socket calls: the system's calls behind the table's entries, with the
// differences the table's callers expect smoothed over (no SIGPIPE, select
// finds its own descriptor bound, a truncated datagram arrives cut, and a
// signal that reaches the process interrupts no wait, send or receive).
#include "socket_module/posix_calls.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "net/socket_types.h"
#include "socket_module/module_state.h"

namespace orv::sockmod {
namespace {

// A length that the caller passes by pointer, checked and widened.
bool read_length(const int* length, socklen_t* out) {
  if (!length || *length < 0) {
    set_last_error(EFAULT);
    return false;
  }
  *out = static_cast<socklen_t>(*length);
  return true;
}

int checked(int rc) { return rc < 0 ? fail_with_errno() : rc; }

// Runs a system call again while a signal handler interrupted it.
template <typename Call>
auto restarting(Call call) {
  auto rc = call();
  while (rc < 0 && errno == EINTR) rc = call();
  return rc;
}

// Scans the set a word at a time from the top: a bit-by-bit scan of all
// FD_SETSIZE descriptors cost more than the rest of a request's client work.
int highest_in(const fd_set* set) {
  if (!set) return -1;
  constexpr int kBitsPerWord = 8 * sizeof(unsigned long);
  constexpr int kWords = FD_SETSIZE / kBitsPerWord;
  unsigned long words[kWords];
  static_assert(sizeof(words) == sizeof(fd_set));
  std::memcpy(words, set, sizeof(words));
  for (int w = kWords - 1; w >= 0; --w) {
    if (words[w] != 0) return w * kBitsPerWord + (kBitsPerWord - 1 - __builtin_clzl(words[w]));
  }
  return -1;
}

}  // namespace

int open_socket(int family, int type, int protocol) {
  if (!require_started()) return net::kQelInvalidSocket;
  int s = ::socket(family, type | SOCK_CLOEXEC, protocol);
  return s < 0 ? fail_with_errno() : s;
}

int bind_socket(int s, const void* name, int name_length) {
  if (name_length < 0) return fail_with(EINVAL);
  return checked(::bind(s, static_cast<const sockaddr*>(name), static_cast<socklen_t>(name_length)));
}

int socket_name(int s, void* name, int* name_length) {
  socklen_t length = 0;
  if (!read_length(name_length, &length)) return net::kQelSocketError;
  int rc = ::getsockname(s, static_cast<sockaddr*>(name), &length);
  if (rc < 0) return fail_with_errno();
  *name_length = static_cast<int>(length);
  return 0;
}

int get_option(int s, int level, int option, char* value, int* value_length) {
  socklen_t length = 0;
  if (!read_length(value_length, &length)) return net::kQelSocketError;
  int rc = ::getsockopt(s, level, option, value, &length);
  if (rc < 0) return fail_with_errno();
  *value_length = static_cast<int>(length);
  return 0;
}

int set_option(int s, int level, int option, const char* value, int value_length) {
  if (value_length < 0) return fail_with(EINVAL);
  return checked(::setsockopt(s, level, option, value, static_cast<socklen_t>(value_length)));
}

int send_to(int s, const char* buffer, int length, int flags, const void* to, int to_length) {
  if (length < 0 || to_length < 0) return fail_with(EINVAL);
  ssize_t sent = restarting([&] {
    return ::sendto(s, buffer, static_cast<size_t>(length), flags | MSG_NOSIGNAL,
                    static_cast<const sockaddr*>(to), static_cast<socklen_t>(to_length));
  });
  return sent < 0 ? fail_with_errno() : static_cast<int>(sent);
}

int receive_from(int s, char* buffer, int length, int flags, void* from, int* from_length) {
  if (length < 0) return fail_with(EINVAL);
  socklen_t name_length = 0;
  if (from && !read_length(from_length, &name_length)) return net::kQelSocketError;
  iovec part{buffer, static_cast<size_t>(length)};
  msghdr message{};
  ssize_t received = restarting([&] {
    message = msghdr{};
    message.msg_name = from;
    message.msg_namelen = from ? name_length : 0;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    return ::recvmsg(s, &message, flags);
  });
  if (received < 0) return fail_with_errno();
  if (from) *from_length = static_cast<int>(message.msg_namelen);
  // A datagram longer than the buffer arrives cut to the buffer's length. As
  // an error it would end a whole broadcast and throw away the answers
  // already collected; cut, it is dropped by the decoder like any bad datagram.
  return static_cast<int>(received);
}

// The caller's msghdr as it is, control data included: nothing is cut or
// hidden, so the caller sees MSG_TRUNC and the system's notes itself.
int receive_message(int s, void* message, int flags) {
  if (!message) return fail_with(net::kQelWsaFault);
  auto* header = static_cast<msghdr*>(message);
  const msghdr asked = *header;
  ssize_t received = restarting([&] {
    *header = asked;
    return ::recvmsg(s, header, flags);
  });
  return received < 0 ? fail_with_errno() : static_cast<int>(received);
}

int select_sockets(void* read_set, void* write_set, void* error_set, const void* timeout) {
  auto* reads = static_cast<fd_set*>(read_set);
  auto* writes = static_cast<fd_set*>(write_set);
  auto* errors = static_cast<fd_set*>(error_set);
  int highest = highest_in(reads);
  if (int w = highest_in(writes); w > highest) highest = w;
  if (int e = highest_in(errors); e > highest) highest = e;
  // The system's select may change the time-out; the caller's stays as it is.
  timeval wait{};
  timeval* wait_ptr = nullptr;
  if (timeout) {
    wait = *static_cast<const timeval*>(timeout);
    wait_ptr = &wait;
  }
  return checked(::select(highest + 1, reads, writes, errors, wait_ptr));
}

int poll_sockets(void* fds, uint32_t count, int timeout_ms) {
  if (!fds && count > 0) return fail_with(net::kQelWsaFault);
  auto* entries = static_cast<pollfd*>(fds);
  using Clock = std::chrono::steady_clock;
  const bool bounded = timeout_ms >= 0;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(bounded ? timeout_ms : 0);
  int wait = bounded ? timeout_ms : -1;
  for (;;) {
    int ready = ::poll(entries, count, wait);
    if (ready >= 0) return ready;
    if (errno != EINTR) return fail_with_errno();
    if (!bounded) continue;
    // What is left, rounded up so the wait never ends before its time; once
    // nothing is left, one last look without waiting.
    auto left = deadline - Clock::now();
    wait = left <= Clock::duration::zero()
               ? 0
               : static_cast<int>(
                     std::chrono::ceil<std::chrono::milliseconds>(left).count());
  }
}

int close_socket(int s) { return checked(::close(s)); }

int is_set(int s, void* set) {
  if (!set || s < 0 || s >= FD_SETSIZE) return 0;
  return FD_ISSET(s, static_cast<fd_set*>(set)) ? 1 : 0;
}

int connect_socket(int s, const void* name, int name_length) {
  if (name_length < 0) return fail_with(EINVAL);
  return checked(
      ::connect(s, static_cast<const sockaddr*>(name), static_cast<socklen_t>(name_length)));
}

int listen_socket(int s, int backlog) { return checked(::listen(s, backlog)); }

int control_socket(int s, long command, unsigned long* argument) {
  if (!argument) {
    set_last_error(net::kQelWsaFault);
    return net::kQelSocketError;
  }
  if (command == static_cast<long>(FIONBIO)) {
    int flags = ::fcntl(s, F_GETFL);
    if (flags < 0) return fail_with_errno();
    flags = *argument ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return checked(::fcntl(s, F_SETFL, flags));
  }
  if (command == static_cast<long>(FIONREAD)) {
    int waiting = 0;
    if (::ioctl(s, FIONREAD, &waiting) < 0) return fail_with_errno();
    *argument = static_cast<unsigned long>(waiting);
    return 0;
  }
  set_last_error(EINVAL);
  return net::kQelSocketError;
}

int receive(int s, char* buffer, int length, int flags) {
  if (length < 0) return fail_with(EINVAL);
  ssize_t received = ::recv(s, buffer, static_cast<size_t>(length), flags);
  return received < 0 ? fail_with_errno() : static_cast<int>(received);
}

int send(int s, const char* buffer, int length, int flags) {
  if (length < 0) return fail_with(EINVAL);
  ssize_t sent = ::send(s, buffer, static_cast<size_t>(length), flags | MSG_NOSIGNAL);
  return sent < 0 ? fail_with_errno() : static_cast<int>(sent);
}

int accept_socket(int s, void* name, int* name_length) {
  if (!require_started()) return net::kQelInvalidSocket;
  socklen_t length = 0;
  if (name && !read_length(name_length, &length)) return net::kQelInvalidSocket;
  int accepted = ::accept4(s, static_cast<sockaddr*>(name), name ? &length : nullptr, SOCK_CLOEXEC);
  if (accepted < 0) return fail_with_errno();
  if (name) *name_length = static_cast<int>(length);
  return accepted;
}

uint32_t parse_ipv4(const char* text) { return text ? ::inet_addr(text) : INADDR_NONE; }

// Like the system's inet_ntoa (one buffer per thread, overwritten by the next
// call) without going through printf: every datagram's sender is printed.
char* print_ipv4(uint32_t network_order_address) {
  static thread_local char text[16];
  unsigned char octets[4];
  std::memcpy(octets, &network_order_address, sizeof(octets));
  char* out = text;
  for (int i = 0; i < 4; ++i) {
    unsigned value = octets[i];
    if (value >= 100) *out++ = static_cast<char>('0' + value / 100);
    if (value >= 10) *out++ = static_cast<char>('0' + value / 10 % 10);
    *out++ = static_cast<char>('0' + value % 10);
    *out++ = i < 3 ? '.' : '\0';
  }
  return text;
}

uint16_t swap16(uint16_t value) { return ::htons(value); }
uint32_t swap32(uint32_t value) { return ::htonl(value); }

}  // namespace orv::sockmod
