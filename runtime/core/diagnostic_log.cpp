#include "runtime/core/diagnostic_log.h"

#include <cstdio>
#include <mutex>
#include <optional>

#include "platform/system/profile.h"

namespace tamsil {

namespace {

struct LogState {
  std::mutex mutex;  // one line at a time, from any thread
  std::string name{kDefaultDiagnosticLog};
  bool started = false;          // a line went to `name` in this run
  std::optional<bool> auxTrace;  // read from the profile with the first line
};

LogState& state() {
  static LogState s;
  return s;
}

bool auxTraceOn() {
  char value[64];
  return platform::GetProfileStringA("Tamsil", "auxtrace", "", value, sizeof value) > 0;
}

}  // namespace

void DiagnosticLine(std::string_view line) {
  LogState& s = state();
  std::lock_guard lock(s.mutex);
  if (!s.auxTrace) s.auxTrace = auxTraceOn();
  if (*s.auxTrace) {
    std::fprintf(stderr, "aux: %.*s\n", int(line.size()), line.data());
    std::fflush(stderr);
  }
  if (s.name.empty()) return;
  std::FILE* f = std::fopen(s.name.c_str(), s.started ? "ab" : "wb");
  if (!f) return;  // a log that cannot be written must not stop the program it reports on
  s.started = true;
  std::fwrite(line.data(), 1, line.size(), f);
  std::fputs("\r\n", f);
  std::fclose(f);
}

void SetDiagnosticLogName(std::string name) {
  LogState& s = state();
  std::lock_guard lock(s.mutex);
  if (name != s.name) s.started = false;
  s.name = std::move(name);
}

std::string DiagnosticLogName() {
  LogState& s = state();
  std::lock_guard lock(s.mutex);
  return s.name;
}

void ResetDiagnosticLogForTests() {
  LogState& s = state();
  std::lock_guard lock(s.mutex);
  s.name = std::string(kDefaultDiagnosticLog);
  s.started = false;
  s.auxTrace.reset();
}

}  // namespace tamsil
