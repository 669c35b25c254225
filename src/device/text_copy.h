// Copying NUL-terminated texts into fixed-width fields.
#pragma once

#include <cstddef>
#include <cstring>

namespace orv::device {

// Copies at most `size - 1` characters of `src` and terminates; a null source
// gives the empty text.
inline void copy_text(char* dst, std::size_t size, const char* src) {
  if (size == 0) return;
  if (src == nullptr) {
    dst[0] = '\0';
    return;
  }
  std::size_t n = strnlen(src, size - 1);
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

template <std::size_t N>
inline void copy_text(char (&dst)[N], const char* src) {
  copy_text(dst, N, src);
}

}  // namespace orv::device
