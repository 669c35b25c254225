#include "snmp/transport/socket_log.h"

namespace orv {
namespace {

constinit log::ModuleLogger g_socket_log("socket");

}  // namespace

log::ModuleLogger& socket_log() { return g_socket_log; }

}  // namespace orv
