// Dynamic-file support: missing, reported and looked for again; found in the shared library.
#include "runtime/file/dynamic_file.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "runtime/core/error_state.h"
#include "runtime/core/thread_context.h"

namespace tamsil::file {
namespace {

TEST(DynamicFileTest, MissingIsReportedAndRetriedThenFound) {
  ThreadContextScope context;
  int file = 0, change = 0, driver = 0;
  // The library lies in a directory the loader is told about only halfway through.
  if (std::getenv("KESTREL_DFX_PRESENT")) {
    EXPECT_EQ(changeFile(&file, &change), 42);
    EXPECT_EQ(changeDriver(&file, &change, &driver), 43);
    return;
  }
  EXPECT_EQ(changeFile(&file, &change), -1);
  EXPECT_EQ(currentErrorState().code, 47);
  EXPECT_EQ(currentErrorState().driverText, "Dynamic File Support Not Found");
  EXPECT_EQ(currentErrorState().driverCode, "SYSTEM : 1 : Driver : S00002");
  clearError();
  EXPECT_EQ(changeDriver(&file, &change, &driver), -1);  // looked for again, still missing
  EXPECT_EQ(currentErrorState().code, 47);
}

}  // namespace
}  // namespace tamsil::file
