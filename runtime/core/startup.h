// The program's outermost frame: the module table, the version check, the start of the runtime,
// the run of the main procedure, and Halt with its exit procedures.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/types.h"
#include "runtime/core/thread_context.h"

namespace tamsil {

// One entry per compiled module: constructors and destructors run once per process and once per
// thread. Flags are 5 for an ordinary module.
struct ModuleRecord {
  std::uint32_t flags = 5;
  void (*processConstructor)() = nullptr;
  void (*processDestructor)() = nullptr;
  void (*threadConstructor)() = nullptr;
  void (*threadDestructor)() = nullptr;
};

struct VersionRecord {
  bool mainProgram = true;
  bool beta = false;
  std::uint16_t version = 6300;  // major = version / 100, minor = version % 100
  std::uint16_t build = 0;
};

struct ModuleDescriptor {
  std::span<const ModuleRecord> modules;
  VersionRecord version;
  std::string fileName;  // the module's full file name; empty when unknown
};

// The runtime's own version.
inline constexpr VersionRecord kRuntimeVersion{true, false, 6300, 0};
inline constexpr std::string_view kRuntimeCaption = "Tamsil 6.3 build Tamsil 6.300.00";

// Checks a module's version record against the runtime's; the text to show when it fails.
std::optional<std::string> VersionCheck(const VersionRecord& module, std::string_view fileName, const VersionRecord& runtime = kRuntimeVersion);

// Starts the runtime on the calling (first) thread: its ThreadContext, the version check (a
// failure is shown in a platform message box and reported as false), then the modules'
// process-wide constructors in table order and the first thread's per-thread constructors.
bool RuntimeStartup(const ModuleDescriptor& descriptor);

// The whole life of the process: start-up, the main procedure and the after-main hook, the first
// thread's window state released (ReleaseThreadWindows) and its context emptied, posting switched
// off, in that order, then Halt. A failed start-up ends with exit code 1 (not 0: a failure is not
// reported as success).
//
// The context object itself and the modules' per-thread objects stay until Halt: the exit
// procedures Halt runs first are the program's code and may still use them; Halt then runs the
// per-thread destructors before the process-wide ones.
[[noreturn]] void ProcessEntry(const ModuleDescriptor& descriptor, void (*programMain)());

// How the window layer lets go of a thread's windows (closes those still open); installed by the
// window layer when it opens its first window, so the core need not know windows.
using ThreadWindowRelease = void (*)(ThreadContext& context);
void SetThreadWindowRelease(ThreadWindowRelease release);

inline constexpr int kStartupFailedExitCode = 1;

// Runs after the main procedure returns, when installed.
void SetAfterMainHook(void (*hook)());

// Exit procedures are called by Halt, last registered first, each with its index.
int AddExitProcedure(void (*procedure)(int index));

// Ends the program. On the first thread it does not return unless a halt is under way; on
// another thread it asks the first thread (QUERY_SHUTDOWN to its top window) once and returns.
void Halt(int exitCode);

// The program-wide posting switch: on from start-up, off for good once the main procedure returns.
bool PostingAllowed();
void DisallowPosting();

// Starts and ends a thread's runtime life (context and per-thread constructors) on threads other
// than the first.
class RuntimeThreadScope {
 public:
  RuntimeThreadScope();
  ~RuntimeThreadScope();
  RuntimeThreadScope(const RuntimeThreadScope&) = delete;
  RuntimeThreadScope& operator=(const RuntimeThreadScope&) = delete;

 private:
  ThreadContextScope context_;
};

// For tests: forgets the started runtime so another start can follow in the same process.
void ResetRuntimeForTests();

}  // namespace tamsil
