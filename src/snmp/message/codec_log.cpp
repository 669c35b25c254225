#include "snmp/message/codec_log.h"

namespace orv {
namespace {

constinit log::ModuleLogger g_snmp_log("snmp");

}  // namespace

log::ModuleLogger& snmp_log() { return g_snmp_log; }

}  // namespace orv
