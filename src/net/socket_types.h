// Types and constants of the socket function table, shared by the library and
// the socket module that fills it. Signatures keep the shape that the table's
// callers were written for (socket handles, int lengths, SOCKET_ERROR
// results); addresses, fd sets, hostent/servent and addrinfo are the system's
// own, and flags (MSG_*, NI_*, AI_*, SOL_*, SO_*, FIONBIO, FIONREAD) take the
// system's <sys/socket.h>, <netdb.h> and <sys/ioctl.h> values.
#pragma once

#include <cstddef>
#include <cstdint>

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/select.h>
#include <sys/socket.h>

namespace orv::net {

using QelSocket = int;
inline constexpr QelSocket kQelInvalidSocket = -1;
inline constexpr int kQelSocketError = -1;

// Versions for WSAStartup: major in the low byte, minor in the high byte.
inline constexpr uint16_t kQelSocketVersion11 = 0x0101;
inline constexpr uint16_t kQelSocketVersion22 = 0x0202;

// Last-error values that are not errno values.
inline constexpr int kQelWsaVersionNotSupported = 10092;  // WSAStartup: version refused
inline constexpr int kQelWsaNotInitialised = 10093;       // call before WSAStartup / extra WSACleanup
inline constexpr int kQelWsaFault = 10014;                // a required pointer was null

// Filled by WSAStartup.
struct QelWsaData {
  uint16_t version;       // the version agreed for this caller
  uint16_t high_version;  // the highest version the module offers
  char description[257];
  char system_status[129];
};
// Filled by the module and read by the library: both sides must agree.
static_assert(sizeof(QelWsaData) == 390);
static_assert(offsetof(QelWsaData, high_version) == 2);
static_assert(offsetof(QelWsaData, description) == 4);
static_assert(offsetof(QelWsaData, system_status) == 261);

using PfnWSAStartup = int (*)(uint16_t version, QelWsaData* data);
using PfnWSACleanup = int (*)();
// errno of this thread's last failed socket call, or one of the values above.
using PfnWSAGetLastError = int (*)();
using Pfnsocket = QelSocket (*)(int family, int type, int protocol);
using Pfnbind = int (*)(QelSocket s, const sockaddr* name, int name_length);
using Pfnhtons = uint16_t (*)(uint16_t value);
using Pfnntohs = uint16_t (*)(uint16_t value);
using Pfngetsockname = int (*)(QelSocket s, sockaddr* name, int* name_length);
using Pfngethostname = int (*)(char* name, int name_length);
// Results of gethostbyname, gethostbyaddr and getservbyname belong to the
// calling thread and stay valid until its next call of the same function.
using Pfngethostbyname = hostent* (*)(const char* name);
using Pfngetsockopt = int (*)(QelSocket s, int level, int option, char* value, int* value_length);
using Pfnsetsockopt = int (*)(QelSocket s, int level, int option, const char* value,
                              int value_length);
using Pfninet_addr = uint32_t (*)(const char* text);  // INADDR_NONE when not a dotted quad
using Pfninet_ntoa = char* (*)(in_addr address);      // per-thread buffer
// A datagram longer than `length` fails with EMSGSIZE (its head is in `buffer`).
using Pfnsendto = int (*)(QelSocket s, const char* buffer, int length, int flags,
                          const sockaddr* to, int to_length);
using Pfnrecvfrom = int (*)(QelSocket s, char* buffer, int length, int flags, sockaddr* from,
                            int* from_length);
// The first argument is ignored: the highest descriptor is taken from the
// sets. The time-out is not changed. Descriptors must be below FD_SETSIZE;
// WSAPoll has no such bound.
using Pfnselect = int (*)(int ignored, fd_set* read_set, fd_set* write_set, fd_set* error_set,
                          const timeval* timeout);
using Pfnclosesocket = int (*)(QelSocket s);
using Pfngethostbyaddr = hostent* (*)(const char* address, int length, int family);
using Pfngetservbyname = servent* (*)(const char* name, const char* protocol);
using Pfnhtonl = uint32_t (*)(uint32_t value);
using Pfnntohl = uint32_t (*)(uint32_t value);
using Pfnconnect = int (*)(QelSocket s, const sockaddr* name, int name_length);
using Pfnlisten = int (*)(QelSocket s, int backlog);
// FIONBIO (*argument non-zero: non-blocking) and FIONREAD (bytes waiting).
using Pfnioctlsocket = int (*)(QelSocket s, long command, unsigned long* argument);
using Pfnrecv = int (*)(QelSocket s, char* buffer, int length, int flags);
using Pfnsend = int (*)(QelSocket s, const char* buffer, int length, int flags);
using Pfnaccept = QelSocket (*)(QelSocket s, sockaddr* name, int* name_length);
using Pfn__WSAFDIsSet = int (*)(QelSocket s, fd_set* set);
// Waits for events on any descriptor, with no bound on its value; a time-out
// below 0 waits without limit. A signal that arrives meanwhile does not end
// the wait: it resumes with the time that is left.
using PfnWSAPoll = int (*)(pollfd* fds, uint32_t count, int timeout_ms);
using Pfngetaddrinfo = int (*)(const char* node, const char* service, const addrinfo* hints,
                               addrinfo** result);
using Pfngetnameinfo = int (*)(const sockaddr* address, socklen_t address_length, char* host,
                               uint32_t host_length, char* service, uint32_t service_length,
                               int flags);
using Pfnfreeaddrinfo = void (*)(addrinfo* list);
// recvmsg: the system's msghdr, its control data and flags as the system
// filled them (a datagram longer than the buffer arrives cut, MSG_TRUNC set).
using PfnWSARecvMsg = int (*)(QelSocket s, msghdr* message, int flags);

}  // namespace orv::net
