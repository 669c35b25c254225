// The datagram socket's logger: category "socket", looked up once and kept.
#pragma once

#include "log/log.h"

namespace orv {

log::ModuleLogger& socket_log();

}  // namespace orv
