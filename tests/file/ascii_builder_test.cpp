// The driver string builder window: filled from a driver string, edited by a scripted user,
// written back; poorly formed strings and values reported.
#include <gtest/gtest.h>

#include "platform/input/script.h"
#include "runtime/file/builder/ascii_builder.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::file {
namespace {

class AsciiBuilderTest : public tamsil::testing::RuntimeTest {
 protected:
  std::optional<std::string> build(std::string_view current, const std::string& actions) {
    script(actions);
    return buildAsciiDriverString(current);
  }
};

TEST_F(AsciiBuilderTest, OkWritesBackOnlyWhatDiffersFromTheDefaults) {
  const struct {
    const char* current;
    const char* actions;
    const char* result;
  } cases[] = {
      {"", "press OK\n", ""},
      {"/clip=off /tab=4", "press OK\n", "/CLIP=OFF/TAB=4"},
      {"", "press Clip Strings\npress Quick Scan\npress OK\n", "/QUICKSCAN=ON/CLIP=OFF"},
      {"/CTRLZISEOF=OFF", "press Ctrl-Z is End of File Marker\npress OK\n", ""},
      {"", "focus #16389\nkey Ctrl+A\ntype 16\nfocus #16393\nkey Ctrl+A\ntype 1,10\npress OK\n", "/FILEBUFFERS=16/ENDOFRECORD=1,10"},
      {"/FILEBUFFERS=8/ENDOFRECORD=3,1,2,3", "press OK\n", "/FILEBUFFERS=8/ENDOFRECORD=3,1,2,3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(build(c.current, c.actions), std::optional<std::string>(c.result)) << c.current << " | " << c.actions;
    platform::script::stop();
  }
}

TEST_F(AsciiBuilderTest, CancelAndCloseGiveNothing) {
  EXPECT_EQ(build("/TAB=4", "press Clip Strings\npress Cancel\n"), std::nullopt);
  platform::script::stop();
  EXPECT_EQ(build("/TAB=4", "close\n"), std::nullopt);
}

TEST_F(AsciiBuilderTest, PoorlyFormedStringsAreReported) {
  EXPECT_EQ(poorlyFormedReport("/TAB=2/CLIP=OFF"), "");
  EXPECT_EQ(poorlyFormedReport("/WIDTH=3/TAB/CLIP=MAYBE/ENDOFRECORD=3,1"),
            "Poorly formed driver string.\n/WIDTH is not a valid switch\n/TAB has no value\n/CLIP has an incorrect value of MAYBE.  Value "
            "ignored,\n/ENDOFRECORD has missing value");
  // The report comes first; the readable switches are kept.
  EXPECT_EQ(build("/WIDTH=3/TAB=4", "press OK\npress OK\n"), std::optional<std::string>("/TAB=4"));
}

TEST_F(AsciiBuilderTest, AValueTheDriverCannotTakeKeepsTheWindowOpen) {
  EXPECT_EQ(build("", "focus #16393\nkey Ctrl+A\ntype 0\npress OK\npress OK\nfocus #16393\nkey Ctrl+A\ntype 1,13\npress OK\n"),
            std::optional<std::string>("/ENDOFRECORD=1,13"));
}

}  // namespace
}  // namespace tamsil::file
