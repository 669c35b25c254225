#include "snmp/v3/v3_exchange.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>
#include <poll.h>
#include <sys/select.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "snmp/v3/v3_library.h"

namespace orv::session {
namespace {

void finish(V3Exchange* exchange, int status, int library_error) {
  exchange->waiting = false;
  exchange->status = status;
  exchange->library_error = library_error;
}

// The library's answer of a request, as its own synchronous call reads it.
void take_answer(V3Exchange* exchange, netsnmp_pdu* pdu) {
  if (pdu->command == SNMP_MSG_REPORT) {
    const int report = snmpv3_get_report_type(pdu);
    // Out of the time window the library resynchronises and sends again.
    if (report == SNMPERR_NOT_IN_TIME_WINDOW) return;
    finish(exchange, STAT_ERROR, report);
  } else if (pdu->command == SNMP_MSG_RESPONSE) {
    exchange->answer = snmp_clone_pdu(pdu);
    finish(exchange, exchange->answer ? STAT_SUCCESS : STAT_ERROR,
           exchange->answer ? SNMPERR_SUCCESS : SNMPERR_MALLOC);
  } else {
    finish(exchange, STAT_ERROR, SNMPERR_PROTOCOL);
  }
}

// The library calls this only with messages it matched to the request.
int exchange_callback(int operation, netsnmp_session*, int, netsnmp_pdu* pdu, void* magic) {
  auto* exchange = static_cast<V3Exchange*>(magic);
  switch (operation) {
    case NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE: {
      if (!pdu) return 0;
      if (!exchange->on_message) {
        take_answer(exchange, pdu);
        return 1;
      }
      V3Received verdict = exchange->on_message(exchange, pdu);
      if (verdict == V3Received::kDone) exchange->waiting = false;
      // 0 keeps the request open for further answers.
      return verdict == V3Received::kDone ? 1 : 0;
    }
    case NETSNMP_CALLBACK_OP_TIMED_OUT:
      finish(exchange, STAT_TIMEOUT, SNMPERR_TIMEOUT);
      return 1;
    // Every report comes here first. A second report that the request is
    // out of the time window means the library's resynchronised resend
    // failed as well: waiting on would only turn that into a time-out.
    case NETSNMP_CALLBACK_OP_SEC_ERROR:
      if (!exchange->on_message && pdu && pdu->command == SNMP_MSG_REPORT &&
          snmpv3_get_report_type(pdu) == SNMPERR_NOT_IN_TIME_WINDOW &&
          ++exchange->window_reports > 1) {
        finish(exchange, STAT_ERROR, SNMPERR_NOT_IN_TIME_WINDOW);
      }
      return 1;
    case NETSNMP_CALLBACK_OP_DISCONNECT:
      finish(exchange, STAT_ERROR, SNMPERR_ABORT);
      return 1;
    default:
      return 1;
  }
}

// The library's fd set of one wait, grown past FD_SETSIZE as needed.
class LargeSet {
 public:
  LargeSet() { netsnmp_large_fd_set_init(&set_, FD_SETSIZE); }
  ~LargeSet() { netsnmp_large_fd_set_cleanup(&set_); }
  LargeSet(const LargeSet&) = delete;
  LargeSet& operator=(const LargeSet&) = delete;
  netsnmp_large_fd_set* get() { return &set_; }

 private:
  netsnmp_large_fd_set set_{};
};

// How long the library wants to wait for its next resend or time-out, in
// microseconds; -1 when it has no request left to wait for.
int64_t library_wait_us(void* handle, LargeSet* set) {
  int fds = 0;
  int block = 1;
  timeval wait{};
  auto lock = v3_library_lock();
  (void)snmp_sess_select_info2_flags(handle, &fds, set->get(), &wait, &block, NETSNMP_SELECT_NOALARMS);
  if (block) return -1;
  return static_cast<int64_t>(wait.tv_sec) * 1000000 + wait.tv_usec;
}

}  // namespace

void V3SessionClose::operator()(void* handle) const {
  auto lock = v3_library_lock();
  if (netsnmp_session* copy = snmp_sess_session(handle)) {
    explicit_bzero(copy->securityAuthKey, sizeof(copy->securityAuthKey));
    explicit_bzero(copy->securityPrivKey, sizeof(copy->securityPrivKey));
  }
  snmp_sess_close(handle);
}

V3SessionPtr v3_open_session(snmp_session* settings) {
  auto lock = v3_library_lock();
  V3SessionPtr handle(snmp_sess_open(settings));
  // The library clears the flag when it opens, and would then probe inside
  // its send, under our lock, for as long as the agent keeps silent.
  if (handle && (settings->flags & SNMP_FLAGS_DONT_PROBE)) {
    snmp_sess_session(handle.get())->flags |= SNMP_FLAGS_DONT_PROBE;
  }
  return handle;
}

void v3_run_exchange(void* handle, snmp_pdu* request, int64_t wait_ms, V3Exchange* exchange) {
  exchange->waiting = true;
  int socket = -1;
  {
    auto lock = v3_library_lock();
    const int request_id = snmp_sess_async_send(handle, request, exchange_callback, exchange);
    if (request_id == 0) {
      const int error = snmp_sess_session(handle)->s_snmp_errno;
      snmp_free_pdu(request);
      finish(exchange, STAT_ERROR, error != 0 ? error : SNMPERR_GENERR);
      return;
    }
    exchange->request_id = request_id;
    if (netsnmp_transport* transport = snmp_sess_transport(handle)) socket = transport->sock;
  }
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(wait_ms);
  LargeSet readable;
  while (exchange->waiting) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    const int64_t library_us = library_wait_us(handle, &readable);
    // No request left to wait for, or our bound reached: nothing came.
    // (Alarms are the host's business, not this wait's.)
    if (library_us < 0 || left.count() <= 0 || socket < 0) {
      finish(exchange, STAT_TIMEOUT, SNMPERR_TIMEOUT);
      break;
    }
    const int64_t us = library_us < left.count() ? library_us : left.count();
    // poll has no bound on the descriptor's value, unlike select's 1024.
    pollfd wanted{};
    wanted.fd = socket;
    wanted.events = POLLIN;
    const timespec wait{static_cast<time_t>(us / 1000000), static_cast<long>(us % 1000000) * 1000};
    const int count = ppoll(&wanted, 1, &wait, nullptr);
    if (count < 0 && errno == EINTR) continue;
    auto lock = v3_library_lock();
    if (count > 0) {
      NETSNMP_LARGE_FD_ZERO(readable.get());
      NETSNMP_LARGE_FD_SET(socket, readable.get());
      snmp_sess_read2(handle, readable.get());
    } else if (count == 0) {
      snmp_sess_timeout(handle);
    } else {
      finish(exchange, STAT_ERROR, SNMPERR_BAD_RECVFROM);
    }
  }
}

}  // namespace orv::session
