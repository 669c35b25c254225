#include "name_lookup.h"

#include <netdb.h>
#include <sys/socket.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace orv_exporter {
namespace {

// Lookups under way at once, those given up on included: a resolver that
// never answers must not make threads without end.
constexpr int kMaxLookups = 16;

std::mutex count_mutex;
int running_lookups = 0;

// One lookup, shared by the caller and the thread that makes it; the
// thread may outlive the caller.
struct Lookup {
  std::mutex mutex;
  std::condition_variable ended_cv;
  bool ended = false;
  LookupEnd end = LookupEnd::kFailed;
  std::string address;
};

std::string numeric(const addrinfo* list) {
  const addrinfo* chosen = list;
  for (const addrinfo* a = list; a != nullptr; a = a->ai_next) {
    if (a->ai_family == AF_INET) {
      chosen = a;
      break;
    }
  }
  char host[NI_MAXHOST] = "";
  if (chosen == nullptr || getnameinfo(chosen->ai_addr, chosen->ai_addrlen, host, sizeof host,
                                       nullptr, 0, NI_NUMERICHOST) != 0) {
    return {};
  }
  return host;
}

void look_up(const std::string& name, const std::shared_ptr<Lookup>& lookup) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  std::string address;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) == 0) {
    address = numeric(found);
    freeaddrinfo(found);
  }
  {
    std::lock_guard lock(lookup->mutex);
    lookup->address = address;
    lookup->end = address.empty() ? LookupEnd::kFailed : LookupEnd::kFound;
    lookup->ended = true;
  }
  lookup->ended_cv.notify_all();
  std::lock_guard lock(count_mutex);
  --running_lookups;
}

}  // namespace

LookupEnd lookup_before(const std::string& name, std::chrono::steady_clock::time_point deadline,
                        std::string& address) {
  {
    std::lock_guard lock(count_mutex);
    if (running_lookups >= kMaxLookups) return LookupEnd::kLate;
    ++running_lookups;
  }
  auto lookup = std::make_shared<Lookup>();
  std::thread([name, lookup] { look_up(name, lookup); }).detach();
  std::unique_lock lock(lookup->mutex);
  if (!lookup->ended_cv.wait_until(lock, deadline, [&] { return lookup->ended; })) {
    return LookupEnd::kLate;
  }
  address = lookup->address;
  return lookup->end;
}

}  // namespace orv_exporter
