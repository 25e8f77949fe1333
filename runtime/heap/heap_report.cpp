#include "runtime/heap/heap_report.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <array>
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tamsil {
namespace {

struct ErrorText {
  HeapError error;
  std::string_view text;
};

constexpr ErrorText kErrorTexts[] = {
    {HeapError::CorruptBlock,
     "Corrupt block/Unknown block type freed.  This is probably caused by freeing a static variable or a bad pointer."},
    {HeapError::OutOfFreeSpace, "Out of free space"},
    {HeapError::FreedTwice, "memory block free'd twice"},
};

constexpr int kReportedFrames = 10;

void writeToStderr(std::string_view line) {
  std::fprintf(stderr, "%.*s\n", int(line.size()), line.data());
  std::fflush(stderr);
}

std::atomic<HeapTraceOutput> gTraceOutput{writeToStderr};

// The frames that called into the heap: return address, offset in its module, module name.
void traceStack() {
  std::array<void*, kReportedFrames + 4> frames{};
  const int count = backtrace(frames.data(), int(frames.size()));
  // The first frames are this report's own.
  for (int i = 3, shown = 0; i < count && shown < kReportedFrames; ++i, ++shown) {
    const auto address = reinterpret_cast<std::uintptr_t>(frames[std::size_t(i)]);
    Dl_info module{};
    std::uintptr_t offset = address;
    const char* name = "?";
    if (dladdr(frames[std::size_t(i)], &module) && module.dli_fname) {
      offset = address - reinterpret_cast<std::uintptr_t>(module.dli_fbase);
      const char* slash = std::strrchr(module.dli_fname, '/');
      name = slash ? slash + 1 : module.dli_fname;
    }
    char line[256];
    std::snprintf(line, sizeof line, "%016" PRIXPTR "  %08" PRIXPTR " %s", address, offset, name);
    heap::TraceLine(line);
  }
}

// Writes the report and ends the program: the heap can no longer be trusted, so nothing else
// (exit procedures, destructors) runs.
void defaultHook(HeapError error, const void*) {
  const std::string_view text = HeapErrorText(error);
  char line[200];
  std::snprintf(line, sizeof line, "Error: %.*s", int(text.size()), text.data());
  heap::TraceLine(line);
  traceStack();
  heap::TraceLine("----------------------------------");
  if (gTraceOutput.load() != writeToStderr) std::fprintf(stderr, "Tamsil heap fault: %s\n", line);
  std::fflush(stderr);
  std::_Exit(kHeapFaultExitCode);
}

std::atomic<CorruptionHook> gHook{defaultHook};

}  // namespace

std::string_view HeapErrorText(HeapError error) {
  for (const ErrorText& entry : kErrorTexts)
    if (entry.error == error) return entry.text;
  return kErrorTexts[0].text;
}

CorruptionHook SetCorruptionHook(CorruptionHook hook) { return gHook.exchange(hook ? hook : defaultHook); }

void SetHeapTraceOutput(HeapTraceOutput output) { gTraceOutput = output ? output : writeToStderr; }

namespace heap {

void ReportCorruption(HeapError error, const void* block) { gHook.load()(error, block); }

void TraceLine(std::string_view line) { gTraceOutput.load()(line); }

}  // namespace heap
}  // namespace tamsil
