#include "app/app_module.h"

#include <cstdio>
#include <cstdlib>

namespace kestrel {

namespace {

thread_local std::unique_ptr<ThreadGlobals> tGlobals;

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

tamsil::ModuleRecord applicationModuleRecord() {
  tamsil::ModuleRecord r;
  r.flags = 5;
  r.threadConstructor = constructThread;
  r.threadDestructor = destructThread;
  return r;
}

}  // namespace kestrel
