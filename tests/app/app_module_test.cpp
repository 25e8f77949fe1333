// The application module's per-thread globals: one set per runtime thread, made and released by
// the module's per-thread constructor and destructor as the runtime starts and ends threads.
#include <gtest/gtest.h>

#include "app/app_module.h"
#include "platform/queue/thread.h"
#include "runtime/core/startup.h"

namespace kestrel {
namespace {

TEST(AppModuleTest, EveryRuntimeThreadHasItsOwnGlobals) {
  const tamsil::ModuleRecord modules[] = {applicationModuleRecord()};
  ASSERT_TRUE(tamsil::RuntimeStartup({modules, kProgramVersion, "Kestrel24"}));
  ASSERT_TRUE(hasThreadGlobals());
  threadGlobals().GlobalRequest = 3;
  threadGlobals().GlobalVcrRequest = -1;
  std::uint8_t seenRequest = 99;
  bool hadGlobalsAfter = true;
  platform::Thread other([&] {
    {
      tamsil::RuntimeThreadScope scope;
      seenRequest = threadGlobals().GlobalRequest;
      threadGlobals().GlobalRequest = 9;
    }
    hadGlobalsAfter = hasThreadGlobals();
  });
  other.join();
  EXPECT_EQ(seenRequest, 0);
  EXPECT_FALSE(hadGlobalsAfter);
  EXPECT_EQ(threadGlobals().GlobalRequest, 3);
  EXPECT_EQ(threadGlobals().GlobalVcrRequest, -1);
  tamsil::ResetRuntimeForTests();
  EXPECT_FALSE(hasThreadGlobals());
}

}  // namespace
}  // namespace kestrel
