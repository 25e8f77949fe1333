// Helpers shared by the heap's tests: a hook that records what the heap reports instead of ending
// the program, and a byte pattern that tells blocks apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/heap/heap.h"

namespace tamsil::heap {

// Installs a recording hook for the scope; the previous hook comes back at its end.
class RecordedReports {
 public:
  RecordedReports() : previous_(SetCorruptionHook(record)) { errors().clear(); }
  ~RecordedReports() { SetCorruptionHook(previous_); }
  RecordedReports(const RecordedReports&) = delete;
  RecordedReports& operator=(const RecordedReports&) = delete;

  const std::vector<HeapError>& list() const { return errors(); }

 private:
  static std::vector<HeapError>& errors() {
    static std::vector<HeapError> list;
    return list;
  }
  static void record(HeapError error, const void*) { errors().push_back(error); }
  CorruptionHook previous_;
};

// The byte at `index` of a block filled for `seed`.
inline std::uint8_t patternByte(std::uint32_t seed, std::size_t index) { return std::uint8_t((seed * 2654435761u + index * 40503u) >> 13); }

inline void fillPattern(void* p, std::size_t size, std::uint32_t seed) {
  auto* b = static_cast<std::uint8_t*>(p);
  for (std::size_t i = 0; i < size; ++i) b[i] = patternByte(seed, i);
}

inline bool hasPattern(const void* p, std::size_t size, std::uint32_t seed) {
  const auto* b = static_cast<const std::uint8_t*>(p);
  for (std::size_t i = 0; i < size; ++i)
    if (b[i] != patternByte(seed, i)) return false;
  return true;
}

}  // namespace tamsil::heap
