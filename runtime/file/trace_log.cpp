#include "runtime/file/trace_log.h"

#include <unistd.h>

#include <chrono>
#include <ctime>
#include <map>

#include "runtime/core/thread_context.h"

namespace tamsil::file {

void TraceLog::writeLine(std::string_view text) {
  std::string line = tracePrefixNow();
  line.append(text);
  line.append("\r\n");
  std::lock_guard lock(mutex_);
  std::fwrite(line.data(), 1, line.size(), file_);
  if (flush_) std::fflush(file_);
}

std::shared_ptr<TraceLog> openTraceLog(const std::string& path, bool flush) {
  static std::mutex mutex;
  static std::map<std::string, std::weak_ptr<TraceLog>> open;
  std::lock_guard lock(mutex);
  if (auto log = open[path].lock()) return log;
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) {
    open.erase(path);
    return nullptr;
  }
  auto log = std::make_shared<TraceLog>(f, flush);
  open[path] = log;
  return log;
}

std::string tracePrefix(unsigned long processId, int threadNumber, int hours, int minutes, int seconds, int milliseconds) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%lX(%d) %02d:%02d:%02d.%03d ", processId, threadNumber, hours, minutes, seconds, milliseconds);
  return buf;
}

std::string tracePrefixNow() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  const ThreadContext* context = currentThreadContext();
  return tracePrefix((unsigned long)getpid(), context ? context->number : 0, local.tm_hour, local.tm_min, local.tm_sec, ms);
}

}  // namespace tamsil::file
