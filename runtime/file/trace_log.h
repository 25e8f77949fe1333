// Trace log files. Every line is written whole under the log's own lock, so lines of different
// threads never mix; two traces naming the same file share one log and one lock. A log that
// cannot be opened is null, and tracing to it stays silent.
#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace tamsil::file {

class TraceLog {
 public:
  TraceLog(std::FILE* file, bool flush) : file_(file), flush_(flush) {}
  ~TraceLog() { std::fclose(file_); }
  TraceLog(const TraceLog&) = delete;
  TraceLog& operator=(const TraceLog&) = delete;

  // Writes the prefix, the text and CR LF as one line.
  void writeLine(std::string_view text);

 private:
  std::mutex mutex_;
  std::FILE* file_;
  bool flush_;
};

// The log appending to path (shared with other traces of the same path); null when the file
// cannot be opened. flush: flush after every line; the first trace to open a log decides it.
std::shared_ptr<TraceLog> openTraceLog(const std::string& path, bool flush);

// The line prefix: process id in hexadecimal, "(", the runtime thread number, ") ", the local
// time "hh:mm:ss.mmm" and a blank: "1A4(1) 09:05:03.007 ".
std::string tracePrefix(unsigned long processId, int threadNumber, int hours, int minutes, int seconds, int milliseconds);
// The prefix for the calling thread now.
std::string tracePrefixNow();

}  // namespace tamsil::file
