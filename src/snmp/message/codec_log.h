// The codec's logger: category "snmp", looked up once and kept.
#pragma once

#include "log/log.h"

namespace orv {

log::ModuleLogger& snmp_log();

}  // namespace orv
