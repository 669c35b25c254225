#include "snmp/v3/v3_exchange.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <sys/select.h>

#include <cerrno>
#include <chrono>

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
    case NETSNMP_CALLBACK_OP_DISCONNECT:
      finish(exchange, STAT_ERROR, SNMPERR_ABORT);
      return 1;
    default:
      return 1;
  }
}

}  // namespace

void v3_run_exchange(void* handle, snmp_pdu* request, int64_t wait_ms, V3Exchange* exchange) {
  exchange->waiting = true;
  const int request_id = snmp_sess_async_send(handle, request, exchange_callback, exchange);
  if (request_id == 0) {
    const int error = snmp_sess_session(handle)->s_snmp_errno;
    snmp_free_pdu(request);
    finish(exchange, STAT_ERROR, error != 0 ? error : SNMPERR_GENERR);
    return;
  }
  exchange->request_id = request_id;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(wait_ms);
  while (exchange->waiting) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    int fds = 0;
    int block = 1;
    fd_set readable;
    FD_ZERO(&readable);
    timeval wait{};
    snmp_sess_select_info_flags(handle, &fds, &readable, &wait, &block, NETSNMP_SELECT_NOALARMS);
    // No request left to wait for, or our bound reached: nothing came.
    // (Alarms are the host's business, not this wait's.)
    if (block || left.count() <= 0) {
      finish(exchange, STAT_TIMEOUT, SNMPERR_TIMEOUT);
      break;
    }
    const int64_t library_us = static_cast<int64_t>(wait.tv_sec) * 1000000 + wait.tv_usec;
    const int64_t us = library_us < left.count() ? library_us : left.count();
    wait.tv_sec = static_cast<time_t>(us / 1000000);
    wait.tv_usec = static_cast<suseconds_t>(us % 1000000);
    const int count = select(fds, &readable, nullptr, nullptr, &wait);
    if (count > 0) {
      snmp_sess_read(handle, &readable);
    } else if (count == 0) {
      snmp_sess_timeout(handle);
    } else if (errno != EINTR) {
      finish(exchange, STAT_ERROR, SNMPERR_BAD_RECVFROM);
    }
  }
}

}  // namespace orv::session
