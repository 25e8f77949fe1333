#include "app/app_module.h"

#include <cstdio>
#include <cstdlib>

#include "app/program_errors.h"
#include "app/text_matcher.h"
#include "framework/ini/ini_store.h"

namespace kestrel {

namespace {

thread_local std::unique_ptr<ThreadGlobals> tGlobals;

struct ProcessObjects {
  TextMatcher matcher;
  std::unique_ptr<tamsil::framework::ErrorReporter> reporter = std::make_unique<tamsil::framework::ErrorReporter>();
  std::unique_ptr<ReporterErrors> errors = std::make_unique<ReporterErrors>(*reporter);
  std::unique_ptr<tamsil::framework::IniStore> ini = std::make_unique<tamsil::framework::IniStore>();
};
std::unique_ptr<ProcessObjects> gProcess;

[[noreturn]] void usedOutsideItsLife(const char* what) {
  std::fprintf(stderr, "Kestrel24: the application's %s is used outside its life\n", what);
  std::abort();
}

void constructProcess() { gProcess = std::make_unique<ProcessObjects>(); }

// The store goes first, then the reporter; the matcher needs nothing done.
void destructProcess() {
  if (!gProcess) return;
  gProcess->ini.reset();
  gProcess->errors.reset();
  gProcess->reporter.reset();
  gProcess.reset();
}

void constructThread() { tGlobals = std::make_unique<ThreadGlobals>(); }

// Releasing the globals frees the file layer's buffers with them.
void destructThread() { tGlobals.reset(); }

}  // namespace

ThreadGlobals& threadGlobals() {
  if (!tGlobals) {
    std::fputs("Kestrel24: the application's thread globals are used outside a runtime thread\n", stderr);
    std::abort();
  }
  return *tGlobals;
}

bool hasThreadGlobals() { return tGlobals != nullptr; }

void ensureThreadGlobals() {
  if (!tGlobals) constructThread();
}

TextMatcher& moduleTextMatcher() {
  if (!gProcess) usedOutsideItsLife("text matcher");
  return gProcess->matcher;
}

ProgramErrors& programErrors() {
  if (!gProcess || !gProcess->errors) usedOutsideItsLife("error reporter");
  return *gProcess->errors;
}

tamsil::framework::IniStore& programIniStore() {
  if (!gProcess || !gProcess->ini) usedOutsideItsLife("settings store");
  return *gProcess->ini;
}

bool hasProcessObjects() { return gProcess != nullptr; }

tamsil::ModuleRecord applicationModuleRecord() {
  tamsil::ModuleRecord r;
  r.flags = 5;
  r.processConstructor = constructProcess;
  r.processDestructor = destructProcess;
  r.threadConstructor = constructThread;
  r.threadDestructor = destructThread;
  return r;
}

}  // namespace kestrel
