// The ASCII driver's NEXT over a large text file against stdio line reading doing the same job
// in the same run (fgets, then the line copied into a blank-padded record), with `wc -l` on the
// same file as the floor no record reader goes below.
//
// The file is made at start in the temporary folder and removed at exit: 600,000 lines (about
// 40 MB) by default, 6,000,000 lines (about 400 MB) with KESTREL_ASCII_BENCH_FULL=1. Lines are
// 20 to 113 printable characters and CR LF; the record holds 128.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "runtime/core/thread_context.h"
#include "runtime/file/ascii_driver.h"
#include "runtime/file/ascii_file.h"
#include "runtime/file/driver_file.h"

namespace {

constexpr std::size_t kRecord = 128;

class BenchFile {
 public:
  BenchFile() {
    const char* full = std::getenv("KESTREL_ASCII_BENCH_FULL");
    lines_ = full && *full == '1' ? 6'000'000 : 600'000;
    std::string templ = (std::filesystem::temp_directory_path() / "kestrel-ascii-bench.XXXXXX").string();
    const int fd = mkstemp(templ.data());
    path_ = templ;
    std::FILE* f = fdopen(fd, "wb");
    std::mt19937 engine(7);
    std::uniform_int_distribution<int> length(20, 113), letter(' ' + 1, '~');
    std::string line;
    for (std::size_t i = 0; i < lines_; ++i) {
      line.assign(std::size_t(length(engine)), ' ');
      for (char& c : line) c = char(letter(engine));
      line += "\r\n";
      bytes_ += line.size();
      std::fwrite(line.data(), 1, line.size(), f);
    }
    std::fclose(f);
  }
  ~BenchFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }
  std::size_t lines() const { return lines_; }
  std::size_t bytes() const { return bytes_; }

 private:
  std::string path_;
  std::size_t lines_ = 0;
  std::size_t bytes_ = 0;
};

const BenchFile& benchFile() {
  static const BenchFile file;
  return file;
}

void report(benchmark::State& state, std::size_t records) {
  if (records != benchFile().lines()) state.SkipWithError("wrong number of records");
  state.SetItemsProcessed(std::int64_t(state.iterations() * benchFile().lines()));
  state.SetBytesProcessed(std::int64_t(state.iterations() * benchFile().bytes()));
}

void BM_Next(benchmark::State& state) {
  using namespace tamsil::file;
  tamsil::ThreadContextScope context;
  DriverFile f(asciiDriver(), benchFile().path(), kRecord, "/FILEBUFFERS=128");
  if (f.call(OpOpen, {AccessReadOnly | DenyWrite}) != 0) state.SkipWithError("open failed");
  std::size_t records = 0;
  for (auto _ : state) {
    f.call(OpSetFile);
    records = 0;
    while (f.call(OpNext) == 0) ++records;
    benchmark::DoNotOptimize(f.recordText().data());
  }
  report(state, records);
}
BENCHMARK(BM_Next)->Unit(benchmark::kMillisecond);

void BM_FgetsIntoRecord(benchmark::State& state) {
  std::vector<char> record(kRecord);
  char line[kRecord + 4];
  std::size_t records = 0;
  for (auto _ : state) {
    std::FILE* f = std::fopen(benchFile().path().c_str(), "rb");
    records = 0;
    while (std::fgets(line, sizeof line, f)) {
      std::size_t n = std::strlen(line);
      while (n && (line[n - 1] == '\n' || line[n - 1] == '\r')) --n;
      std::memcpy(record.data(), line, n);
      std::memset(record.data() + n, ' ', kRecord - n);
      benchmark::DoNotOptimize(record.data());
      ++records;
    }
    std::fclose(f);
  }
  report(state, records);
}
BENCHMARK(BM_FgetsIntoRecord)->Unit(benchmark::kMillisecond);

void BM_WcLines(benchmark::State& state) {
  const std::string command = "wc -l < '" + benchFile().path() + "' > /dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("wc failed");
  report(state, benchFile().lines());
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
