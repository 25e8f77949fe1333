// The trace of one driver: settings read when the driver is first used, the set of files whose
// declaration has been written, and the lines written around each operation:
//   before: the operation's name, the file's label and the arguments: "OPEN(CUSTOMER,66)";
//   after:  "Error: <code> <text>" when an error is posted (the driver's own code and text for
//           90), then " Time Taken: s.hh secs"; with details on, the record's fields after
//           record operations and the key's components after SETkeykey and SETkeykeyptr.
// With details on, the first operation on a file writes its declaration first.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "runtime/file/declaration.h"
#include "runtime/file/trace_log.h"
#include "runtime/file/trace_settings.h"

namespace tamsil::file {

// Tracing switched on for one file by a driver command.
struct FileTraceOptions {
  bool on = false;
  bool details = false;
  std::string logFile;  // empty: the driver's log
  std::string message;  // written to the log by DriverTrace::announce
};

// Applies a driver command ("ALLOWDETAILS", or "LOGFILE=name [message]"; the name ignores case,
// a leading '/' and blanks around '='). Returns false for any other text (options unchanged).
bool applyTraceCommand(std::string_view command, const TraceSettings& driverSettings, FileTraceOptions& options);

class DriverTrace {
 public:
  DriverTrace(std::string driverName, TraceSettings settings);

  const TraceSettings& settings() const { return settings_; }
  const std::string& driverName() const { return driverName_; }

  // The log of a file: its own LOGFILE, else the driver's; null when tracing is off for it or the
  // log cannot be opened.
  std::shared_ptr<TraceLog> logFor(const FileTraceOptions& options);
  bool detailsFor(const FileTraceOptions& options) const { return options.on ? options.details : settings_.details; }

  // True the first time a file (by label and name) is seen: its declaration is then due.
  bool firstSight(const FileDeclaration& file);

  // Writes the message of a LOGFILE command to the file's log.
  void announce(const FileTraceOptions& options);

 private:
  std::string driverName_;
  TraceSettings settings_;
  std::mutex mutex_;
  std::shared_ptr<TraceLog> driverLog_;
  bool driverLogTried_ = false;
  std::set<std::string> dumped_;
};

// The trace of a driver, made (and its settings read) on first use.
DriverTrace& driverTrace(std::string_view driverName);

// The file as one traced operation sees it.
struct TracedFile {
  const FileDeclaration* declaration = nullptr;
  std::span<const std::byte> record;
  std::size_t key = 0;  // the key of SETkeykey and SETkeykeyptr
  const FileTraceOptions& options;
};

// Writes the lines of one operation: the operation line when made, the result lines when it
// goes away. Does nothing when the file's trace is off or its log cannot be opened.
class OperationTrace {
 public:
  OperationTrace(DriverTrace& trace, const TracedFile& file, int operation, std::span<const std::intptr_t> args);
  ~OperationTrace();
  OperationTrace(const OperationTrace&) = delete;
  OperationTrace& operator=(const OperationTrace&) = delete;

 private:
  std::shared_ptr<TraceLog> log_;
  bool details_ = false;
  const TracedFile& file_;
  int operation_;
  std::chrono::steady_clock::time_point start_;
};

// " Time Taken: 1.05 secs" for an elapsed time.
std::string timeTakenText(std::chrono::nanoseconds elapsed);

}  // namespace tamsil::file
