// Name look-ups. The host, address and service records are kept per thread,
// so callers on different threads never share one result.
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "net/socket_types.h"
#include "socket_module/module_state.h"
#include "socket_module/posix_calls.h"

namespace orv::sockmod {
namespace {

// Resolver failures (h_errno) as last-error values: 11001 host not found,
// 11002 try again, 11003 no recovery, 11004 no data.
constexpr int kHostErrorBase = 11000;

// Bound on growing a record's buffer: 64 KiB is far beyond any sane record.
constexpr size_t kFirstBufferSize = 1024;
constexpr int kMaxGrowth = 6;

template <typename Record>
struct Slot {
  Record record{};
  std::vector<char> buffer;
};

// Runs a reentrant look-up, growing the slot's buffer while it is too small.
template <typename Record, typename Lookup>
Record* run_lookup(Slot<Record>& slot, Lookup lookup) {
  if (slot.buffer.empty()) slot.buffer.resize(kFirstBufferSize);
  for (int growth = 0; growth <= kMaxGrowth; ++growth) {
    Record* result = nullptr;
    int host_error = 0;
    int rc = lookup(&slot.record, slot.buffer.data(), slot.buffer.size(), &result, &host_error);
    if (rc == ERANGE) {
      slot.buffer.resize(slot.buffer.size() * 2);
      continue;
    }
    if (rc == 0 && result) return result;
    set_last_error(host_error > 0 ? kHostErrorBase + host_error : (rc ? rc : ENOENT));
    return nullptr;
  }
  set_last_error(ERANGE);
  return nullptr;
}

// The C library names the scope of a link-local IPv6 address by its
// interface ("fe80::1%eth0"); the table's callers expect the number form of
// the address rules ("fe80::1%2"), whose interface texts carry the index.
int number_the_scope(const sockaddr* address, char* host, uint32_t host_length) {
  if (!host || address->sa_family != AF_INET6) return 0;
  char* percent = std::strchr(host, '%');
  if (!percent) return 0;
  sockaddr_in6 v6;
  std::memcpy(&v6, address, sizeof v6);
  size_t room = host_length - static_cast<size_t>(percent - host);
  int written = std::snprintf(percent, room, "%%%u", static_cast<unsigned>(v6.sin6_scope_id));
  return written > 0 && static_cast<size_t>(written) < room ? 0 : EAI_OVERFLOW;
}

}  // namespace

int host_name(char* name, int name_length) {
  if (!require_started()) return net::kQelSocketError;
  if (!name || name_length <= 0) return fail_with(net::kQelWsaFault);
  if (::gethostname(name, static_cast<size_t>(name_length)) < 0) return fail_with_errno();
  name[name_length - 1] = '\0';
  return 0;
}

void* host_by_name(const char* name) {
  if (!require_started()) return nullptr;
  if (!name) {
    fail_with(net::kQelWsaFault);
    return nullptr;
  }
  thread_local Slot<hostent> slot;
  return run_lookup(slot, [name](hostent* record, char* buffer, size_t size, hostent** result,
                                 int* host_error) {
    return ::gethostbyname_r(name, record, buffer, size, result, host_error);
  });
}

void* host_by_address(const char* address, int length, int family) {
  if (!require_started()) return nullptr;
  if (!address || length <= 0) {
    fail_with(net::kQelWsaFault);
    return nullptr;
  }
  thread_local Slot<hostent> slot;
  return run_lookup(slot, [&](hostent* record, char* buffer, size_t size, hostent** result,
                              int* host_error) {
    return ::gethostbyaddr_r(address, static_cast<socklen_t>(length), family, record, buffer, size,
                             result, host_error);
  });
}

void* service_by_name(const char* name, const char* protocol) {
  if (!require_started()) return nullptr;
  if (!name) {
    fail_with(net::kQelWsaFault);
    return nullptr;
  }
  thread_local Slot<servent> slot;
  return run_lookup(slot, [&](servent* record, char* buffer, size_t size, servent** result,
                              int* host_error) {
    *host_error = 0;
    return ::getservbyname_r(name, protocol, record, buffer, size, result);
  });
}

int address_info(const char* node, const char* service, const void* hints, void** result) {
  if (!require_started()) return net::kQelWsaNotInitialised;
  int rc = ::getaddrinfo(node, service, static_cast<const addrinfo*>(hints),
                         reinterpret_cast<addrinfo**>(result));
  if (rc != 0) set_last_error(rc);
  return rc;
}

int name_info(const void* address, uint32_t address_length, char* host, uint32_t host_length,
              char* service, uint32_t service_length, int flags) {
  if (!require_started()) return net::kQelWsaNotInitialised;
  const auto* name = static_cast<const sockaddr*>(address);
  int rc = ::getnameinfo(name, address_length, host, host_length, service, service_length, flags);
  if (rc == 0 && address_length >= sizeof(sockaddr_in6)) rc = number_the_scope(name, host, host_length);
  if (rc != 0) set_last_error(rc);
  return rc;
}

void free_address_info(void* list) {
  if (list) ::freeaddrinfo(static_cast<addrinfo*>(list));
}

}  // namespace orv::sockmod
