#include "runtime/file/driver_trace.h"

#include <cctype>
#include <cstdio>
#include <map>

#include "platform/ascii.h"
#include "runtime/core/error_state.h"
#include "runtime/file/codes.h"
#include "runtime/file/trace_format.h"

namespace tamsil::file {

namespace {

using platform::ascii::equalsNoCase;

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

bool applyTraceCommand(std::string_view command, const TraceSettings& driverSettings, FileTraceOptions& options) {
  command = trimmed(command);
  if (!command.empty() && command.front() == '/') command.remove_prefix(1);
  const std::size_t eq = command.find('=');
  const std::string_view name = trimmed(command.substr(0, eq));
  if (equalsNoCase(name, "ALLOWDETAILS") && eq == std::string_view::npos) {
    options.on = true;
    options.details = driverSettings.details;
    return true;
  }
  if (!equalsNoCase(name, "LOGFILE") || eq == std::string_view::npos) return false;
  std::string_view value = trimmed(command.substr(eq + 1));
  std::string_view message;
  if (const std::size_t open = value.find('['); open != std::string_view::npos) {
    const std::size_t close = value.find(']', open);
    message = value.substr(open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1);
    value = trimmed(value.substr(0, open));
  }
  if (value.empty()) return false;
  options.on = true;
  options.details = driverSettings.details;
  options.logFile = std::string(value.substr(0, 260));
  options.message = std::string(message);
  return true;
}

DriverTrace::DriverTrace(std::string driverName, TraceSettings settings) : driverName_(std::move(driverName)), settings_(std::move(settings)) {}

std::shared_ptr<TraceLog> DriverTrace::logFor(const FileTraceOptions& options) {
  if (options.on && !options.logFile.empty()) return openTraceLog(options.logFile, settings_.flush);
  if (!options.on && !settings_.on) return nullptr;
  std::lock_guard lock(mutex_);
  // The driver's log is opened once; a log that cannot be opened is not retried per operation.
  if (!driverLogTried_) {
    driverLogTried_ = true;
    driverLog_ = openTraceLog(settings_.traceFile, settings_.flush);
  }
  return driverLog_;
}

bool DriverTrace::firstSight(const FileDeclaration& file) {
  std::lock_guard lock(mutex_);
  return dumped_.insert(file.label + '\0' + file.name).second;
}

void DriverTrace::announce(const FileTraceOptions& options) {
  if (options.message.empty()) return;
  if (const auto log = logFor(options)) log->writeLine(options.message);
}

DriverTrace& driverTrace(std::string_view driverName) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<DriverTrace>, std::less<>> traces;
  std::lock_guard lock(mutex);
  auto it = traces.find(driverName);
  if (it == traces.end())
    it = traces.emplace(std::string(driverName), std::make_unique<DriverTrace>(std::string(driverName), readTraceSettings(driverName))).first;
  return *it->second;
}

std::string timeTakenText(std::chrono::nanoseconds elapsed) {
  const long hundredths = long(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 10);
  char buf[64];
  std::snprintf(buf, sizeof buf, " Time Taken: %ld.%02ld secs", hundredths / 100, hundredths % 100);
  return buf;
}

OperationTrace::OperationTrace(DriverTrace& trace, const TracedFile& file, int operation, std::span<const std::intptr_t> args)
    : log_(trace.logFor(file.options)), details_(trace.detailsFor(file.options)), file_(file), operation_(operation) {
  if (!log_) return;
  start_ = std::chrono::steady_clock::now();
  const std::string label = file.declaration ? file.declaration->label : std::string();
  if (details_ && file.declaration && trace.firstSight(*file.declaration))
    for (const std::string& line : declarationLines(*file.declaration)) log_->writeLine(line);
  std::string line = std::string(operationName(operation)) + "(" + label;
  for (std::intptr_t a : args) line += "," + std::to_string(a);
  log_->writeLine(line + ")");
}

OperationTrace::~OperationTrace() {
  if (!log_) return;
  const ErrorState& error = currentErrorState();
  std::string line;
  if (error.code == 90) line = "Error: " + error.driverCode + " " + error.driverText;
  else if (error.code != 0) line = "Error: " + std::to_string(error.code) + " " + std::string(trimmed(error.text));
  log_->writeLine(line + timeTakenText(std::chrono::steady_clock::now() - start_));
  if (!details_ || !file_.declaration) return;
  if (listsRecord(operation_))
    for (const std::string& l : recordLines(*file_.declaration, file_.record)) log_->writeLine(l);
  if (operation_ == OpSetKeyKey || operation_ == OpSetKeyKeyPtr)
    for (const std::string& l : keyLines(*file_.declaration, file_.key, file_.record)) log_->writeLine(l);
}

}  // namespace tamsil::file
