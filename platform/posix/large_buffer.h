// Sizing of the large buffers that hold a whole file: its bytes as read, its
// decoded text, its encoded bytes.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace sorrel::platform {

inline constexpr size_t kHugePageBytes = size_t{2} << 20;

// Resizes buffer to size elements. A buffer of several megabytes that has to
// grow is first reserved and marked for transparent huge pages and only then
// filled, so that the kernel maps it a 2 MiB page at a time rather than 4 KiB:
// for a file of 64 MiB that is 32 page faults instead of 16,384. The mark is a
// hint; where the kernel does not take it, the buffer is an ordinary one.
template <typename Char>
void ResizeLargeBuffer(std::basic_string<Char>* buffer, size_t size) {
  if (size > buffer->capacity() && size * sizeof(Char) >= 4 * kHugePageBytes) {
    buffer->reserve(size);
    const auto begin = reinterpret_cast<uintptr_t>(buffer->data());
    const uintptr_t first = (begin + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    const uintptr_t last = (begin + size * sizeof(Char)) & ~(kHugePageBytes - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  }
  buffer->resize(size);
}

}  // namespace sorrel::platform
