// A table of codes and the names people know them by.
#pragma once

#include <cstdint>
#include <string>

namespace orvctl {

struct Named {
  int32_t code;
  const char* name;
};

// The code's name in `table`, empty when it has none.
template <typename Table>
std::string lookup(const Table& table, int32_t code) {
  for (const Named& row : table) {
    if (row.code == code) return row.name;
  }
  return {};
}

}  // namespace orvctl
