// The component's call log (OVSPREAD_CALLLOG=FILE): one line per member carried out and per
// event raised, with the values as they travelled, so a run shows what a program sent to the grid
// and in which order. The line format is documented in docs/spread.md:
//   put NAME[(ARGS)] = VALUE      get NAME[(ARGS)] -> VALUE
//   call NAME(ARGS) -> VALUE      event NAME(ARGS)
// each argument and value written TYPE:REPR ("I4:2", "R8:25.5", "BSTR:\"a \"\"b\"\"\"").
#pragma once

#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "platform/com/variant.h"

namespace spread {

// What a line records.
enum class LogVerb : std::uint8_t { Put, Get, Call, Event };

// "I4:2", "BSTR:\"x\"", "EMPTY": one value as the log writes it.
std::string FormatValue(const platform::VARIANT& v);

// One whole line, ending in "\n". `args` are in call order; for a put the value is not among
// them but passed as `value`; an event has no value.
std::string FormatCallLine(LogVerb verb, std::string_view name, std::span<const platform::VARIANT> args, const platform::VARIANT* value);

// An append-only log file. Each line goes out in one write(2) on a descriptor opened with
// O_APPEND, so lines of several threads and processes never tear into one another; the descriptor
// is guarded for threads.
class CallLog {
 public:
  // Opens (creating) the file; a log that cannot be opened writes nothing.
  explicit CallLog(const std::string& path);
  ~CallLog();
  CallLog(const CallLog&) = delete;
  CallLog& operator=(const CallLog&) = delete;

  bool open() const { return fd_ >= 0; }
  // Writes one line (which ends in "\n") whole.
  void write(std::string_view line);

  // The process's log, from OVSPREAD_CALLLOG read the first time it is asked for; null when the
  // variable is unset or empty, or the file cannot be opened.
  static CallLog* process();

 private:
  std::mutex mutex_;
  int fd_ = -1;
};

}  // namespace spread
