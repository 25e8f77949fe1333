// Standard-library containers and objects on the runtime's heap: an allocator for containers
// and strings, and a base class whose objects are made and destroyed there.
#pragma once

#include <cstddef>
#include <deque>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "runtime/heap/heap.h"

namespace tamsil {

template <class T>
class HeapAllocator {
 public:
  using value_type = T;

  HeapAllocator() noexcept = default;
  template <class U>
  HeapAllocator(const HeapAllocator<U>&) noexcept {}

  T* allocate(std::size_t count) {
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
    void* p = alignof(T) > 16 ? AllocateAligned(count * sizeof(T), alignof(T)) : Allocate(count * sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t) noexcept { Free(p); }

  template <class U>
  bool operator==(const HeapAllocator<U>&) const noexcept {
    return true;
  }
};

using HeapString = std::basic_string<char, std::char_traits<char>, HeapAllocator<char>>;
template <class T>
using HeapVector = std::vector<T, HeapAllocator<T>>;
template <class T>
using HeapDeque = std::deque<T, HeapAllocator<T>>;

// Objects of a class derived from this one are made with `new` on the runtime's heap.
struct HeapObject {
  static void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
  }
  static void operator delete(void* p) noexcept { Free(p); }
};

}  // namespace tamsil
