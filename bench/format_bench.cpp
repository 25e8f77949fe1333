// FORMAT against the C library in the same run: a number under a compiled @N12.2 against
// snprintf("%'12.2f"), and a date under @D2 against strftime("%m/%d/%Y").
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <ctime>
#include <vector>

#include "runtime/value/calendar.h"
#include "runtime/value/format.h"
#include "runtime/value/picture.h"

namespace tamsil {
namespace {

// Amounts of money from -50,000.00 to 49,999.99 (grouping, signs, zero and non-zero cents) and
// every 16th a value of full precision (1/3 and alike, which takes the slower exact path),
// cycled through so no branch is predictable from one call to the next.
std::vector<double> numbers() {
  std::vector<double> v;
  for (int i = 0; i < 1024; ++i) v.push_back(i % 16 == 0 ? i / 3.0 : (i * 7'919 % 10'000'000 - 5'000'000) / 100.0);
  return v;
}

std::vector<int32_t> days() {
  std::vector<int32_t> v;
  for (int i = 0; i < 1024; ++i) v.push_back(kFirstDay + (i * 104729) % (kLastDay - kFirstDay));
  return v;
}

void BM_FormatNumberPicture(benchmark::State& state) {
  const CompiledPicture picture = compilePicture("@N12.2");
  const std::vector<double> values = numbers();
  size_t i = 0;
  for (auto _ : state) {
    const FormattedText text = format(values[i++ & 1023], picture);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_FormatNumberPicture);

void BM_SnprintfGroupedNumber(benchmark::State& state) {
  // The grouping flag needs a locale with a thousands separator; without one snprintf skips the
  // grouping and gets faster, so the ratio only errs in its favour.
  if (!std::setlocale(LC_NUMERIC, "en_US.UTF-8")) state.SetLabel("no grouping locale");
  const std::vector<double> values = numbers();
  size_t i = 0;
  char buf[64];
  for (auto _ : state) {
// The ' flag is POSIX, not ISO C++, which -Wpedantic reports.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
    benchmark::DoNotOptimize(std::snprintf(buf, sizeof buf, "%'12.2f", values[i++ & 1023]));
#pragma GCC diagnostic pop
    benchmark::ClobberMemory();
  }
  std::setlocale(LC_NUMERIC, "C");
}
BENCHMARK(BM_SnprintfGroupedNumber);

void BM_FormatDatePicture(benchmark::State& state) {
  const CompiledPicture picture = compilePicture("@D2");
  const std::vector<int32_t> values = days();
  size_t i = 0;
  for (auto _ : state) {
    const FormattedText text = format(double(values[i++ & 1023]), picture);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_FormatDatePicture);

void BM_StrftimeDate(benchmark::State& state) {
  // strftime starts from broken-down fields; the picture side splits a day number itself.
  std::vector<std::tm> values;
  for (int32_t d : days()) {
    const CivilDate c = splitDay(d);
    std::tm t{};
    t.tm_year = c.year - 1900, t.tm_mon = c.month - 1, t.tm_mday = c.day;
    values.push_back(t);
  }
  size_t i = 0;
  char buf[64];
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::strftime(buf, sizeof buf, "%m/%d/%Y", &values[i++ & 1023]));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StrftimeDate);

}  // namespace
}  // namespace tamsil
