// What the heap does with a double free, a foreign pointer and damaged boundary tags: each is
// reported with its code, the heap stays usable, and the default report ends the program.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "runtime/heap/memory_heap.h"
#include "tests/heap/heap_test.h"

namespace tamsil::heap {
namespace {

int gStatic = 0;

struct FaultCase {
  const char* name;
  HeapError error;
  // Does something wrong with the heap.
  std::function<void(Heap&)> fault;
};

void freeTwice(Heap& heap, std::size_t n) {
  void* p = heap.allocate(n);
  heap.free(p);
  heap.free(p);
}

const FaultCase kFaults[] = {
    {"TinyFreedTwice", HeapError::FreedTwice, [](Heap& h) { freeTwice(h, 12); }},
    {"MediumFreedTwice", HeapError::FreedTwice, [](Heap& h) { freeTwice(h, 400); }},
    {"AbsorbedBlockFreedTwice", HeapError::FreedTwice,
     [](Heap& h) {
       void* a = h.allocate(100);
       void* b = h.allocate(100);
       h.allocate(100);
       h.free(a);
       h.free(b);  // merged into a
       h.free(b);
     }},
    {"ReallocatedAfterFree", HeapError::FreedTwice,
     [](Heap& h) {
       void* p = h.allocate(300);
       h.allocate(300);
       h.free(p);
       h.reallocate(p, 600);
     }},
    {"TinyReallocatedAfterFree", HeapError::FreedTwice,
     [](Heap& h) {
       void* p = h.allocate(20);
       h.free(p);
       h.reallocate(p, 60);
     }},
    {"AliasFreedTwice", HeapError::FreedTwice,
     [](Heap& h) {
       void* p = h.allocateAligned(200, 64);
       h.allocate(500);
       h.free(p);
       h.free(p);
     }},
    {"StaticVariable", HeapError::CorruptBlock, [](Heap& h) { h.free(&gStatic); }},
    {"StackVariable", HeapError::CorruptBlock,
     [](Heap& h) {
       int local = 0;
       h.free(&local);
     }},
    {"IntoATinyBlock", HeapError::CorruptBlock, [](Heap& h) { h.free(static_cast<char*>(h.allocate(24)) + 8); }},
    {"IntoAMediumBlock", HeapError::CorruptBlock,
     [](Heap& h) {
       auto* p = static_cast<char*>(h.allocate(512));
       std::memset(p, 0, 512);
       h.free(p + 64);
     }},
    {"IntoALargeBlock", HeapError::CorruptBlock, [](Heap& h) { h.free(static_cast<char*>(h.allocate(100000)) + 16); }},
    {"LargeFreedTwice", HeapError::CorruptBlock, [](Heap& h) { freeTwice(h, 100000); }},
    {"OverrunIntoTheTrailingTag", HeapError::CorruptBlock,
     [](Heap& h) {
       auto* p = static_cast<char*>(h.allocate(96));
       h.allocate(96);
       std::memset(p, 'x', 97);
       h.free(p);
     }},
    {"OverrunIntoTheNextHeader", HeapError::CorruptBlock,
     [](Heap& h) {
       auto* p = static_cast<char*>(h.allocate(96));
       void* next = h.allocate(96);
       std::memset(p + 96, 0, 16);
       h.free(next);
     }},
    {"DamagedSizeWord", HeapError::CorruptBlock,
     [](Heap& h) {
       auto* p = static_cast<char*>(h.allocate(200));
       const std::uint32_t size = 0x30000;  // beyond its region
       std::memcpy(p - 4, &size, 4);
       h.free(p);
     }},
    {"DamagedFreeNeighbour", HeapError::CorruptBlock,
     [](Heap& h) {
       auto* a = static_cast<char*>(h.allocate(96));
       void* b = h.allocate(96);
       h.allocate(96);
       h.free(a);
       std::memset(a + 96 - 8, 0x55, 8);  // a's descriptor address, in its last payload bytes
       h.free(b);
     }},
    {"DamagedLargeTrailingTag", HeapError::CorruptBlock,
     [](Heap& h) {
       auto* p = static_cast<char*>(h.allocate(100000));
       p[100000] = 0;
       h.reallocate(p, 200000);
     }},
};

class HeapFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(HeapFaults, ReportedOnceAndTheHeapStaysUsable) {
  RecordedReports reports;
  Heap heap;
  GetParam().fault(heap);
  ASSERT_EQ(reports.list().size(), 1u);
  EXPECT_EQ(reports.list()[0], GetParam().error);
  void* blocks[] = {heap.allocate(10), heap.allocate(1000), heap.allocate(100000)};
  for (void* b : blocks) {
    ASSERT_NE(b, nullptr);
    std::memset(b, 0, 10);
    heap.free(b);
  }
  EXPECT_EQ(reports.list().size(), 1u);
}

TEST_P(HeapFaults, ReportedTheSameFromEveryShard) {
  RecordedReports reports;
  onEveryShard([&](std::size_t i) {
    Heap heap;
    GetParam().fault(heap);
    ASSERT_EQ(reports.list().size(), i + 1) << "shard of thread " << i;
    EXPECT_EQ(reports.list()[i], GetParam().error) << "shard of thread " << i;
    void* block = heap.allocate(1000);
    ASSERT_NE(block, nullptr);
    heap.free(block);
  });
  EXPECT_EQ(reports.list().size(), MediumShards::kShardCount);
}

INSTANTIATE_TEST_SUITE_P(Cases, HeapFaults, testing::ValuesIn(kFaults),
                         [](const testing::TestParamInfo<FaultCase>& c) { return std::string(c.param.name); });

struct ReportCase {
  const char* name;
  std::size_t size;  // freed twice, or 0 for a foreign pointer
  const char* text;
};

class HeapFaultReport : public testing::TestWithParam<ReportCase> {};

TEST_P(HeapFaultReport, EndsTheProgramWithTheTextAndTheStack) {
  const ReportCase c = GetParam();
  EXPECT_EXIT(
      {
        Heap heap;
        if (c.size) freeTwice(heap, c.size);
        else heap.free(&gStatic);
      },
      testing::ExitedWithCode(kHeapFaultExitCode), std::string("Error: ") + c.text + "\n[0-9A-F]{16}  [0-9A-F]{8} .*\n-{34}\n");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HeapFaultReport,
    testing::Values(ReportCase{"Tiny", 4, "memory block free'd twice"}, ReportCase{"Medium", 1000, "memory block free'd twice"},
                    ReportCase{
                        "Foreign", 0,
                        "Corrupt block/Unknown block type freed\\.  This is probably caused by freeing a static variable or a bad pointer\\."}),
    [](const testing::TestParamInfo<ReportCase>& c) { return std::string(c.param.name); });

TEST(HeapFaultReport, ErrorTextsComeFromTheDiagnosticTable) {
  EXPECT_EQ(HeapErrorText(HeapError::FreedTwice), "memory block free'd twice");
  EXPECT_EQ(HeapErrorText(HeapError::OutOfFreeSpace), "Out of free space");
}

TEST(HeapFaultReport, GoesToTheInstalledTraceOutputAndStderr) {
  EXPECT_EXIT(
      {
        SetHeapTraceOutput([](std::string_view line) { std::fprintf(stderr, "trace<%.*s>\n", int(line.size()), line.data()); });
        Heap heap;
        void* p = heap.allocate(16);
        heap.free(p);
        heap.free(p);
      },
      testing::ExitedWithCode(kHeapFaultExitCode),
      "trace<Error: memory block free'd twice>\n.*trace<-{34}>\nTamsil heap fault: Error: memory block free'd twice");
}

}  // namespace
}  // namespace tamsil::heap
