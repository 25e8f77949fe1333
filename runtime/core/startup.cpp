#include "runtime/core/startup.h"

#include <atomic>
#include <cfenv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/window.h"
#include "runtime/core/diagnostic_log.h"
#include "runtime/core/private_messages.h"
#include "runtime/core/thread_context.h"
#include "runtime/heap/heap.h"

namespace tamsil {

namespace {

struct RuntimeState {
  std::vector<ModuleRecord> modules;
  std::unique_ptr<ThreadContextScope> firstThread;
  std::vector<void (*)(int)> exitProcedures;
  void (*afterMain)() = nullptr;
  std::atomic<ThreadWindowRelease> windowRelease{nullptr};
  std::mutex mutex;
};

RuntimeState& state() {
  static RuntimeState s;
  return s;
}

std::atomic<bool> gPosting{true};
std::atomic<bool> gHaltRequested{false};  // set once by a thread other than the first
std::atomic<int> gHalting{0};             // -1 once the first thread halts

std::string format(const char* pattern, auto... args) {
  const int n = std::snprintf(nullptr, 0, pattern, args...);
  std::string out(size_t(n), '\0');
  std::snprintf(out.data(), out.size() + 1, pattern, args...);
  return out;
}

void runThreadConstructors() {
  for (const ModuleRecord& m : state().modules)
    if (m.threadConstructor) m.threadConstructor();
}

void runThreadDestructors() {
  const auto& ms = state().modules;
  for (auto it = ms.rbegin(); it != ms.rend(); ++it)
    if (it->threadDestructor) it->threadDestructor();
}

// Releases the first thread's runtime state and closes the modules, last constructed first. A
// halt carried out by another thread leaves the first thread's state alone: that thread may still
// be running on it until the process ends.
void closeRuntime(bool onFirstThread) {
  RuntimeState& s = state();
  if (!s.firstThread) return;
  if (onFirstThread) runThreadDestructors();
  for (auto it = s.modules.rbegin(); it != s.modules.rend(); ++it)
    if (it->processDestructor) it->processDestructor();
  if (onFirstThread) s.firstThread.reset();
}

// Releases what the first thread holds once its main procedure has returned: its windows (closed
// by the window layer), the window it targets, and the other layers' per-thread state.
void releaseFirstThreadState() {
  RuntimeState& s = state();
  if (!s.firstThread) return;
  ThreadContext& context = s.firstThread->context();
  if (ThreadWindowRelease release = s.windowRelease.load()) release(context);
  context.windows.clear();
  context.target = nullptr;
  context.topHandle = nullptr;
  for (auto& layer : context.layers) layer.reset();
}

}  // namespace

std::optional<std::string> VersionCheck(const VersionRecord& module, std::string_view fileName, const VersionRecord& runtime) {
  const std::string name = !fileName.empty() ? std::string(fileName) : module.mainProgram ? "This program" : "A component DLL";
  const int v = module.version, major = v / 100, minor = v % 100;
  const int rv = runtime.version, rmajor = rv / 100, rminor = rv % 100;
  static constexpr const char* kWillNotOperate =
      " will not operate correctly with the current version of Tamsil\r\nPlease, obtain a new version of this program";
  if (major == 0) return format("%s was built using Tamsil 6.0 or below\r\n", name.c_str()) + kWillNotOperate;
  if (module.beta && !runtime.beta)
    return format("%s was built using the beta version of Tamsil %d.%03d.%d\r\n", name.c_str(), v / 1000, v % 1000, int(module.build)) +
           kWillNotOperate;
  if (major == rmajor && rminor >= minor) return std::nullopt;
  return format("%s requires Tamsil version %d.%03d.%d or later\r\nCurrent version is %d.%03d.%d", name.c_str(), v / 1000, v % 1000,
                int(module.build), rv / 1000, rv % 1000, int(runtime.build));
}

bool RuntimeStartup(const ModuleDescriptor& descriptor) {
  HeapStartup();
  SetHeapTraceOutput(DiagnosticLine);
  RuntimeState& s = state();
  s.firstThread = std::make_unique<ThreadContextScope>();
  if (auto failure = VersionCheck(descriptor.version, descriptor.fileName)) {
    platform::MessageBoxA(nullptr, failure->c_str(), std::string(kRuntimeCaption).c_str(), platform::MB_OK | platform::MB_ICONHAND);
    s.firstThread.reset();
    return false;
  }
  s.modules.assign(descriptor.modules.begin(), descriptor.modules.end());
  for (const ModuleRecord& m : s.modules)
    if (m.processConstructor) m.processConstructor();
  runThreadConstructors();
  return true;
}

void ProcessEntry(const ModuleDescriptor& descriptor, void (*programMain)()) {
  std::feclearexcept(FE_ALL_EXCEPT);
  std::fesetround(FE_TONEAREST);
  if (!RuntimeStartup(descriptor)) {
    std::fflush(nullptr);
    platform::ExitProcess(kStartupFailedExitCode);
  }
  programMain();
  if (state().afterMain) state().afterMain();
  releaseFirstThreadState();
  DisallowPosting();
  Halt(0);
  platform::ExitProcess(0);  // Halt returns only when a halt was already under way
}

void SetAfterMainHook(void (*hook)()) { state().afterMain = hook; }

void SetThreadWindowRelease(ThreadWindowRelease release) { state().windowRelease = release; }

int AddExitProcedure(void (*procedure)(int)) {
  std::lock_guard lock(state().mutex);
  state().exitProcedures.push_back(procedure);
  return int(state().exitProcedures.size());
}

void Halt(int exitCode) {
  ThreadContext* self = currentThreadContext();
  ThreadContext* first = state().firstThread ? &state().firstThread->context() : nullptr;
  const bool onFirstThread = !first || self == first;
  if (!onFirstThread) {
    if (gHaltRequested.exchange(true)) return;
    // The first thread halts itself when its frame window hears the request. Without a window it
    // may never pump again, so this thread halts the process itself.
    if (first->topHandle && platform::IsWindow(first->topHandle)) {
      platform::PostMessageA(first->topHandle, QUERY_SHUTDOWN, platform::WPARAM(exitCode), 0);
      return;
    }
  }
  if (gHalting.exchange(-1) < 0) return;
  std::vector<void (*)(int)> procedures;
  {
    std::lock_guard lock(state().mutex);
    procedures = state().exitProcedures;
  }
  for (size_t i = procedures.size(); i-- > 0;) procedures[i](int(i + 1));
  closeRuntime(onFirstThread);
  std::fflush(nullptr);
  platform::ExitProcess(exitCode);
}

bool PostingAllowed() { return gPosting.load(); }
void DisallowPosting() { gPosting = false; }

RuntimeThreadScope::RuntimeThreadScope() { runThreadConstructors(); }

RuntimeThreadScope::~RuntimeThreadScope() { runThreadDestructors(); }

void ResetRuntimeForTests() {
  RuntimeState& s = state();
  closeRuntime(true);
  s.modules.clear();
  s.exitProcedures.clear();
  s.afterMain = nullptr;
  gPosting = true;
  gHaltRequested = false;
  gHalting = 0;
}

}  // namespace tamsil
