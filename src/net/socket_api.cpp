#include "net/socket_api.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <type_traits>

#include "log/log.h"

namespace orv::net {
namespace {

constexpr const char* kLogCategory = "socket";
constexpr const char* kSetApiName = "NQelSocketAPI::set_api";

std::atomic<QelModule> g_module{nullptr};
std::atomic<bool> g_extended{false};
std::mutex g_load_mutex;

struct Entry {
  const char* name;
  void (*assign)(void* address);
};

template <auto& Slot>
void assign(void* address) {
  Slot = reinterpret_cast<std::remove_reference_t<decltype(Slot)>>(address);
}

using A = NQelSocketAPI;

constexpr Entry kRequired[] = {
    {"WSAStartup", &assign<A::pfn_WSAStartup>},
    {"WSACleanup", &assign<A::pfn_WSACleanup>},
    {"WSAGetLastError", &assign<A::pfn_WSAGetLastError>},
    {"socket", &assign<A::pfn_socket>},
    {"bind", &assign<A::pfn_bind>},
    {"htons", &assign<A::pfn_htons>},
    {"ntohs", &assign<A::pfn_ntohs>},
    {"getsockname", &assign<A::pfn_getsockname>},
    {"gethostname", &assign<A::pfn_gethostname>},
    {"gethostbyname", &assign<A::pfn_gethostbyname>},
    {"getsockopt", &assign<A::pfn_getsockopt>},
    {"setsockopt", &assign<A::pfn_setsockopt>},
    {"inet_addr", &assign<A::pfn_inet_addr>},
    {"inet_ntoa", &assign<A::pfn_inet_ntoa>},
    {"sendto", &assign<A::pfn_sendto>},
    {"recvfrom", &assign<A::pfn_recvfrom>},
    {"select", &assign<A::pfn_select>},
    {"closesocket", &assign<A::pfn_closesocket>},
    {"gethostbyaddr", &assign<A::pfn_gethostbyaddr>},
    {"getservbyname", &assign<A::pfn_getservbyname>},
    {"htonl", &assign<A::pfn_htonl>},
    {"ntohl", &assign<A::pfn_ntohl>},
    {"connect", &assign<A::pfn_connect>},
    {"listen", &assign<A::pfn_listen>},
    {"ioctlsocket", &assign<A::pfn_ioctlsocket>},
    {"recv", &assign<A::pfn_recv>},
    {"send", &assign<A::pfn_send>},
    {"accept", &assign<A::pfn_accept>},
    {"__WSAFDIsSet", &assign<A::pfn___WSAFDIsSet>},
    // Every receive waits with it: a module without it cannot serve.
    {"WSAPoll", &assign<A::pfn_WSAPoll>},
};

constexpr Entry kOptional[] = {
    {"getaddrinfo", &assign<A::pfn_getaddrinfo>},
    {"getnameinfo", &assign<A::pfn_getnameinfo>},
    {"freeaddrinfo", &assign<A::pfn_freeaddrinfo>},
};

constexpr Entry kOptionalAlone[] = {
    {"WSARecvMsg", &assign<A::pfn_WSARecvMsg>},
};

void log_missing(const char* name, int32_t error) {
  log::qel_log(kLogCategory, log::kError,
               "[NQelSocketAPI::set_api] fail GetProcAddress \"%s\": GetLastError()=%d", name,
               error);
}

template <size_t N>
void clear_entries(const Entry (&entries)[N]) {
  for (const Entry& entry : entries) entry.assign(nullptr);
}

// Fills the table; on a failure nothing of the module stays in it, since the
// caller frees the module.
Result fill_table(QelModule module) {
  for (const Entry& entry : kRequired) {
    int32_t error = 0;
    void* address = qel_get_proc_address(module, entry.name, &error);
    if (!address) {
      log_missing(entry.name, error);
      clear_entries(kRequired);
      clear_entries(kOptional);
      g_extended.store(false);
      return kErrPlatform;
    }
    entry.assign(address);
  }
  for (const Entry& entry : kOptionalAlone) {
    int32_t error = 0;
    entry.assign(qel_get_proc_address(module, entry.name, &error));
  }
  for (const Entry& entry : kOptional) {
    int32_t error = 0;
    void* address = qel_get_proc_address(module, entry.name, &error);
    if (!address) {
      // Half an extended set would tempt a caller into getaddrinfo without
      // freeaddrinfo: it is all three or none.
      clear_entries(kOptional);
      g_extended.store(false);
      if (error == kModuleNotFound || error == kProcNotFound) return kOk;
      log_missing(entry.name, error);
      clear_entries(kRequired);
      clear_entries(kOptionalAlone);
      return kErrPlatform;
    }
    entry.assign(address);
  }
  g_extended.store(true);
  return kOk;
}

QelModule open_module() {
  if (const char* path = secure_getenv(kSocketModuleEnv); path && *path) {
    return qel_load_library_path(path);
  }
  QelModule module = qel_load_library(kSocketModuleName);
  if (!module) module = qel_load_library(kSocketModuleFallbackName);
  return module;
}

}  // namespace

Result NQelSocketAPI::set_api(QelModule module) {
  log::qel_log(kLogCategory, log::kTrace, "[%s] enter.", kSetApiName);
  Result rc = fill_table(module);
  log::qel_log(kLogCategory, log::kTrace, "[%s] exit.", kSetApiName);
  return rc;
}

Result NQelSocketAPI::load_library() {
  if (g_module.load(std::memory_order_acquire)) return kOk;
  std::lock_guard<std::mutex> lock(g_load_mutex);
  if (g_module.load(std::memory_order_relaxed)) return kOk;
  QelModule module = open_module();
  if (!module) return kErrLoad;
  Result rc = set_api(module);
  if (rc != kOk) {
    qel_free_library(module);
    return rc;
  }
  // The table is complete before the handle becomes visible to readers.
  g_module.store(module, std::memory_order_release);
  return kOk;
}

bool NQelSocketAPI::is_loaded() { return g_module.load(std::memory_order_acquire) != nullptr; }

bool NQelSocketAPI::extended_functions_available() {
  if (load_library() != kOk) return false;
  return g_extended.load();
}

Result NQelSocketAPI::start_v11() {
  Result rc = load_library();
  if (rc != kOk) return rc;
  QelWsaData data{};
  if (pfn_WSAStartup(kQelSocketVersion11, &data) != 0) {
    log::qel_log(kLogCategory, log::kError, "fail WSAStartup(1.1). WSAGetLastError()=%d",
                 pfn_WSAGetLastError());
    return kErrPlatform;
  }
  return kOk;
}

Result NQelSocketAPI::start_v22() {
  Result rc = load_library();
  if (rc != kOk) return rc;
  QelWsaData data{};
  if (pfn_WSAStartup(kQelSocketVersion22, &data) != 0) {
    log::qel_log(kLogCategory, log::kError, "fail WSAStartup(2.2). WSAGetLastError()=%d",
                 pfn_WSAGetLastError());
    return kErrPlatform;
  }
  return kOk;
}

Result NQelSocketAPI::stop() {
  if (!is_loaded()) return kOk;
  return pfn_WSACleanup() == 0 ? kOk : kErrPlatform;
}

}  // namespace orv::net
