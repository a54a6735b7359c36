// Replaces the program's global allocation functions with counting ones, to prove that a code
// path never touches the heap. Include it in exactly one file of a test program. Counting is off
// except while `allocations::counting` is set, so the program's other tests are unaffected;
// while `allocations::failing` is set every allocation throws std::bad_alloc, as a heap that
// has run out would. The Windows runtime has no aligned_alloc: there the aligned forms stay the
// runtime's own and are not counted.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace allocations {
inline std::atomic<bool> counting{false};
inline std::atomic<long> count{0};
inline std::atomic<bool> failing{false};

inline void* allocate(std::size_t size, std::size_t alignment = 0) {
  if (counting.load(std::memory_order_relaxed)) count.fetch_add(1, std::memory_order_relaxed);
  if (failing.load(std::memory_order_relaxed)) throw std::bad_alloc();
  if (size == 0) size = 1;
#ifdef _WIN32
  (void)alignment;
  void* memory = std::malloc(size);
#else
  void* memory = alignment > alignof(std::max_align_t)
                     ? std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)
                     : std::malloc(size);
#endif
  if (!memory) throw std::bad_alloc();
  return memory;
}
}  // namespace allocations

void* operator new(std::size_t size) { return allocations::allocate(size); }
void* operator new[](std::size_t size) { return allocations::allocate(size); }
#ifndef _WIN32
void* operator new(std::size_t size, std::align_val_t alignment) {
  return allocations::allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return allocations::allocate(size, static_cast<std::size_t>(alignment));
}
#endif
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
#ifndef _WIN32
void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
#endif
