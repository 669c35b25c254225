#include "snmp/v3/v3_environment.h"

#include <cstdlib>

namespace orv::session {
namespace {

thread_local bool t_hidden = false;

}  // namespace

V3HiddenEnvironment::V3HiddenEnvironment() { t_hidden = true; }
V3HiddenEnvironment::~V3HiddenEnvironment() { t_hidden = false; }

}  // namespace orv::session

// Takes the place of the library's function of the same name (it is
// exported, so the library's own calls reach the first definition loaded).
extern "C" __attribute__((visibility("default"))) char* netsnmp_getenv(const char* name) {
  return orv::session::t_hidden ? nullptr : std::getenv(name);
}
