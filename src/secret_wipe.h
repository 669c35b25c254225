// Wiping secrets (pass phrases, keys) before their memory is freed or
// reused, so that no copy outlives its owner in the process's heap.
#pragma once

#include <string.h>  // explicit_bzero

#include <string>

namespace orv {

// Zeroes the string's whole buffer (the part past its size may hold an
// earlier, longer value) and empties it.
inline void wipe_string(std::string* text) {
  text->resize(text->capacity());
  explicit_bzero(text->data(), text->size());
  text->clear();
}

}  // namespace orv
