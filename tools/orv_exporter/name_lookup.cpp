#include "name_lookup.h"

#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <ctime>
#include <list>
#include <memory>
#include <mutex>

namespace orv_exporter {
namespace {

// One asynchronous lookup; it must outlive the caller that gave up on it.
struct Lookup {
  std::string name;
  addrinfo hints{};
  gaicb request{};
  ~Lookup() {
    if (request.ar_result != nullptr) freeaddrinfo(request.ar_result);
  }
};

std::mutex abandoned_mutex;
std::list<std::unique_ptr<Lookup>> abandoned;

// Frees the given-up lookups that have ended since.
void reap_abandoned() {
  std::lock_guard lock(abandoned_mutex);
  abandoned.remove_if([](const std::unique_ptr<Lookup>& l) {
    return gai_error(&l->request) != EAI_INPROGRESS;
  });
}

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

}  // namespace

LookupEnd lookup_before(const std::string& name, std::chrono::steady_clock::time_point deadline,
                        std::string& address) {
  reap_abandoned();
  auto lookup = std::make_unique<Lookup>();
  lookup->name = name;
  lookup->hints.ai_family = AF_UNSPEC;
  lookup->hints.ai_socktype = SOCK_DGRAM;
  lookup->request.ar_name = lookup->name.c_str();
  lookup->request.ar_request = &lookup->hints;
  gaicb* list[] = {&lookup->request};
  if (getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr) != 0) return LookupEnd::kFailed;
  for (;;) {
    const auto left = std::max(deadline - std::chrono::steady_clock::now(),
                               std::chrono::steady_clock::duration::zero());
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    const timespec wait{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    const gaicb* const waiting[] = {&lookup->request};
    const int waited = gai_suspend(waiting, 1, &wait);
    const int state = gai_error(&lookup->request);
    if (state != EAI_INPROGRESS) {
      if (state != 0) return LookupEnd::kFailed;
      address = numeric(lookup->request.ar_result);
      return address.empty() ? LookupEnd::kFailed : LookupEnd::kFound;
    }
    if (waited == EAI_AGAIN || left == std::chrono::steady_clock::duration::zero()) break;
  }
  if (gai_cancel(&lookup->request) != EAI_CANCELED) {
    std::lock_guard lock(abandoned_mutex);
    abandoned.push_back(std::move(lookup));
  }
  return LookupEnd::kLate;
}

}  // namespace orv_exporter
