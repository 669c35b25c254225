#include "log/interface_id.h"

#include <cstring>

namespace orv::log {

bool interface_id_matches(const char* asked, const char* known) {
  if (asked == nullptr || known == nullptr) return false;
  return std::strncmp(asked, known, kInterfaceIdLength + 1) == 0;
}

}  // namespace orv::log
