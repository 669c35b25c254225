// The process-wide socket function table. The socket module is loaded by name
// on first need and every socket call of the framework goes through these
// pointers. Callers start the library (start_v11/start_v22) before a call and
// pair every start with one stop, also after a failed start.
#pragma once

#include <cstdint>

#include "net/library_loader.h"
#include "net/socket_types.h"
#include "result_codes.h"

namespace orv::net {

// Module names tried in order; the second is the versioned file that
// packagers ship when the plain name is left to development packages.
inline constexpr const char* kSocketModuleName = "liborv-sock.so";
inline constexpr const char* kSocketModuleFallbackName = "liborv-sock.so.1";
// Test-only: a module file loaded instead of the two names.
inline constexpr const char* kSocketModuleEnv = "ORV_SOCKET_MODULE";

class NQelSocketAPI {
 public:
  // Required part, in load order.
  static inline PfnWSAStartup pfn_WSAStartup = nullptr;
  static inline PfnWSACleanup pfn_WSACleanup = nullptr;
  static inline PfnWSAGetLastError pfn_WSAGetLastError = nullptr;
  static inline Pfnsocket pfn_socket = nullptr;
  static inline Pfnbind pfn_bind = nullptr;
  static inline Pfnhtons pfn_htons = nullptr;
  static inline Pfnntohs pfn_ntohs = nullptr;
  static inline Pfngetsockname pfn_getsockname = nullptr;
  static inline Pfngethostname pfn_gethostname = nullptr;
  static inline Pfngethostbyname pfn_gethostbyname = nullptr;
  static inline Pfngetsockopt pfn_getsockopt = nullptr;
  static inline Pfnsetsockopt pfn_setsockopt = nullptr;
  static inline Pfninet_addr pfn_inet_addr = nullptr;
  static inline Pfninet_ntoa pfn_inet_ntoa = nullptr;
  static inline Pfnsendto pfn_sendto = nullptr;
  static inline Pfnrecvfrom pfn_recvfrom = nullptr;
  static inline Pfnselect pfn_select = nullptr;
  static inline Pfnclosesocket pfn_closesocket = nullptr;
  static inline Pfngethostbyaddr pfn_gethostbyaddr = nullptr;
  static inline Pfngetservbyname pfn_getservbyname = nullptr;
  static inline Pfnhtonl pfn_htonl = nullptr;
  static inline Pfnntohl pfn_ntohl = nullptr;
  static inline Pfnconnect pfn_connect = nullptr;
  static inline Pfnlisten pfn_listen = nullptr;
  static inline Pfnioctlsocket pfn_ioctlsocket = nullptr;
  static inline Pfnrecv pfn_recv = nullptr;
  static inline Pfnsend pfn_send = nullptr;
  static inline Pfnaccept pfn_accept = nullptr;
  static inline Pfn__WSAFDIsSet pfn___WSAFDIsSet = nullptr;
  static inline PfnWSAPoll pfn_WSAPoll = nullptr;

  // Optional part, in load order: all three or the IPv4-only resolver.
  static inline Pfngetaddrinfo pfn_getaddrinfo = nullptr;
  static inline Pfngetnameinfo pfn_getnameinfo = nullptr;
  static inline Pfnfreeaddrinfo pfn_freeaddrinfo = nullptr;
  // Optional on its own; without it datagrams are read by recvfrom, and
  // what the system reports beside them is not seen.
  static inline PfnWSARecvMsg pfn_WSARecvMsg = nullptr;

  // Fills the table from `module`: 0, or -1 when a required entry is missing
  // (the table is then left empty).
  static Result set_api(QelModule module);

  // Makes sure the module is loaded and the table filled: 0, -10 when no
  // module loads, or the failure of set_api (the module is freed and the next
  // call tries again).
  static Result load_library();

  // getaddrinfo, getnameinfo and freeaddrinfo are all there; false also when
  // the module cannot be loaded.
  static bool extended_functions_available();

  // Load, then WSAStartup with version 1.1 or 2.2: 0, the load failure, or -1.
  static Result start_v11();
  static Result start_v22();

  // WSACleanup when the module is loaded; 0, or -1 when it refuses.
  static Result stop();

  // True once the table is filled (no loading attempt).
  static bool is_loaded();
};

}  // namespace orv::net
