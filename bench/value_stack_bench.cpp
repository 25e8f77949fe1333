// The value stack against the C library in the same run: InString of a 20-byte pattern at the
// end of a 1 MiB text against std::string_view::find and memmem, and CompareTop of two 40-byte
// texts (equal but for the last byte) against memcmp.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <string_view>

#include "runtime/core/thread_context.h"
#include "runtime/value/value_stack.h"

namespace tamsil {
namespace {

// Letters from a fixed linear congruential sequence, the pattern at the very end.
struct Haystack {
  std::string text;
  std::string pattern = "kestrelpatternxyzzyq";
  Haystack() {
    std::uint32_t x = 12345;
    text.resize(1 << 20);
    for (char& c : text) {
      x = x * 1103515245u + 12345u;
      c = char('a' + (x >> 16) % 26);
    }
    text.replace(text.size() - pattern.size(), pattern.size(), pattern);
  }
};

const Haystack& haystack() {
  static const Haystack h;
  return h;
}

void BM_InString(benchmark::State& state) {
  ThreadContextScope context;
  const Haystack& h = haystack();
  for (auto _ : state) {
    PushText(h.text.data(), std::int32_t(h.text.size()));
    PushText(h.pattern.data(), std::int32_t(h.pattern.size()));
    benchmark::DoNotOptimize(InString(1, 1));
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(h.text.size()));
}
BENCHMARK(BM_InString);

void BM_StringViewFind(benchmark::State& state) {
  const Haystack& h = haystack();
  const std::string_view text = h.text;
  for (auto _ : state) benchmark::DoNotOptimize(text.find(h.pattern));
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(h.text.size()));
}
BENCHMARK(BM_StringViewFind);

void BM_Memmem(benchmark::State& state) {
  const Haystack& h = haystack();
  for (auto _ : state) benchmark::DoNotOptimize(memmem(h.text.data(), h.text.size(), h.pattern.data(), h.pattern.size()));
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(h.text.size()));
}
BENCHMARK(BM_Memmem);

const std::string kLeft = std::string(39, 'm') + "a";
const std::string kRight = std::string(39, 'm') + "b";

void BM_CompareTop(benchmark::State& state) {
  ThreadContextScope context;
  for (auto _ : state) {
    PushText(kLeft.data(), 40);
    PushText(kRight.data(), 40);
    benchmark::DoNotOptimize(CompareTop());
  }
}
BENCHMARK(BM_CompareTop);

void BM_Memcmp(benchmark::State& state) {
  const char* a = kLeft.data();
  const char* b = kRight.data();
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
    benchmark::DoNotOptimize(std::memcmp(a, b, 40));
  }
}
BENCHMARK(BM_Memcmp);

}  // namespace
}  // namespace tamsil
