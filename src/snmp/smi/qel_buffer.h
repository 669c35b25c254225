// The owned text/bytes result handed out by SMI values, addresses and the
// resolver. The content is always followed by a terminating zero, so a text
// can be read as a C string without copying.
#pragma once

#include <cstdint>
#include <memory>

#include "result_codes.h"

namespace orv {

class IQelBuffer {
 public:
  // Slot order is part of the interface; do not reorder.
  virtual void release() = 0;                                          // 1
  virtual uint32_t length() const = 0;                                 // 2
  // nullptr while the length is 0.
  virtual const uint8_t* data() const = 0;                             // 3
  // A null `bytes` empties the buffer. -3 when memory runs out (the old
  // content is then kept).
  virtual Result set_bytes(const void* bytes, uint32_t length) = 0;    // 4
  virtual Result set_string(const char* text) = 0;                     // 5
  virtual Result append_bytes(const void* bytes, uint32_t length) = 0; // 6
  virtual Result append_string(const char* text) = 0;                  // 7
  virtual Result append_buffer(const IQelBuffer* other) = 0;           // 8
  // A copy, or nullptr with -3 in `status` (optional).
  virtual IQelBuffer* clone(Result* status = nullptr) const = 0;       // 9
  virtual bool equals_bytes(const void* bytes, uint32_t length) const = 0;  // 10
  virtual bool equals_string(const char* text) const = 0;              // 11
  virtual bool equals_buffer(const IQelBuffer* other) const = 0;       // 12

  // The content as a C string; "" while empty.
  const char* c_str() const {
    const uint8_t* d = data();
    return d ? reinterpret_cast<const char*>(d) : "";
  }

 protected:
  virtual ~IQelBuffer() = default;
};

// Releases any object of the framework that ends its life with release().
struct QelRelease {
  template <typename T>
  void operator()(T* object) const {
    if (object) object->release();
  }
};
template <typename T>
using QelPtr = std::unique_ptr<T, QelRelease>;

using BufferPtr = QelPtr<IQelBuffer>;

// An empty buffer. `status` (optional): 0 or -3.
IQelBuffer* qel_create_buffer(Result* status = nullptr);

}  // namespace orv
