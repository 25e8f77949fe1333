// A fatal error really ends the program, after its message, with a non-zero exit code.
#include <gtest/gtest.h>

#include "framework/error/error_reporter.h"
#include "runtime/core/thread_context.h"

namespace tamsil::framework {
namespace {

TEST(FatalErrorDeathTest, EndsTheProgramWithANonZeroExitCode) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ThreadContextScope context;
        ErrorReporter r;
        r.Raise(26);
      },
      ::testing::ExitedWithCode(kFatalErrorExitCode), "File Access Error.*Press OK to end this application");
}

}  // namespace
}  // namespace tamsil::framework
