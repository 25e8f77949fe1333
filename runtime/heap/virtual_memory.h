// Address space and memory from the kernel: reserving ranges without memory behind them,
// committing pages inside a reservation, and whole mappings for large blocks. Every call leaves
// errno as it found it, so an allocation never disturbs the caller's last error.
#pragma once

#include <cstddef>

namespace tamsil::heap {

inline constexpr std::size_t kPageSize = 4096;

// Rounds `n` up to a multiple of `unit` (a power of two).
constexpr std::size_t roundUp(std::size_t n, std::size_t unit) { return (n + unit - 1) & ~(unit - 1); }

// A range of address space that no memory backs yet; null when refused.
void* ReserveRange(std::size_t size);
// Makes pages of a reservation readable and writable (zero-filled); false when refused.
bool CommitRange(void* at, std::size_t size);
// Readable, writable, zero-filled memory whose pages appear when first touched; null when refused.
void* MapMemory(std::size_t size);
// Returns a reservation or mapping to the kernel.
void ReleaseRange(void* at, std::size_t size);

}  // namespace tamsil::heap
