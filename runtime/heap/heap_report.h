// Reports from inside the heap: corruption goes to the installed hook, the rest (a refused arena)
// straight to the trace output.
#pragma once

#include <string_view>

#include "runtime/heap/heap.h"

namespace tamsil::heap {

// Calls the corruption hook for `block`.
void ReportCorruption(HeapError error, const void* block);
// One line to the trace output.
void TraceLine(std::string_view line);

}  // namespace tamsil::heap
