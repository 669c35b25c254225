// Equality of optional owned parts: a missing part equals only a missing part.
#pragma once

namespace orv {

template <typename T>
bool parts_equal(const T* a, const T* b) {
  if (!a || !b) return a == b;
  return a->equals(b);
}

}  // namespace orv
