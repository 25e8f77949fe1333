// The heap's own poisoning under AddressSanitizer: free blocks and the unused tail of a block are
// marked unaddressable, so a read or write there stops the program at the faulty access instead
// of showing up later as a damaged boundary tag. Without the sanitizer these calls are empty.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define TAMSIL_HEAP_POISONING 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAMSIL_HEAP_POISONING 1
#endif
#endif

#ifdef TAMSIL_HEAP_POISONING
#include <sanitizer/asan_interface.h>
#endif

namespace tamsil::heap {

inline void poison([[maybe_unused]] const void* at, [[maybe_unused]] std::size_t size) {
#ifdef TAMSIL_HEAP_POISONING
  if (size) __asan_poison_memory_region(at, size);
#endif
}

inline void unpoison([[maybe_unused]] const void* at, [[maybe_unused]] std::size_t size) {
#ifdef TAMSIL_HEAP_POISONING
  if (size) __asan_unpoison_memory_region(at, size);
#endif
}

}  // namespace tamsil::heap
