// Finding windows in the program's resources: resource names, search across modules, the
// definition lock, and the internal error for windows that cannot be had.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/window/definition_lookup.h"
#include "runtime/window/definition_writer.h"

namespace tamsil::window {
namespace {

TEST(ResourceName, TakesThePartAfterTheFirstDollar) {
  const std::pair<const char*, const char*> cases[] = {
      {"FWERROR", "FWERROR_RSC"},
      {"Kestrel24$Kestr001", "Kestr001_RSC"},
      {"A$B$C", "B$C_RSC"},
      {"App$", "_RSC"},
  };
  for (const auto& [module, name] : cases) EXPECT_EQ(resourceNameFor(module), name) << module;
}

TEST(FindWindowDefinition, FindsTheDemoWindowInTheProgramAndReleasesIt) {
  {
    auto found = FindWindowDefinition("KESTREL24$KESTR001", "p1$window");
    ASSERT_TRUE(found) << found.error().reason;
    const LoadedDefinition& def = found.value();
    EXPECT_TRUE(def.held());
    EXPECT_EQ(def.module(), platform::GetModuleHandleA(nullptr));
    // Offsets are positions in the definition buffer: the window record's first byte is its kind.
    EXPECT_EQ(def.reader().bytes()[def.window()], std::uint8_t(Kind::Window));
    EXPECT_EQ(def.tree().window.text(Slot::Title), "Ostrevane Spread DEMO");
    EXPECT_EQ(def.tree().lowestField, 1);
    EXPECT_EQ(def.tree().highestField, 21);
  }
  // Released by destruction: the next lookup on this thread succeeds.
  EXPECT_TRUE(FindWindowDefinition("FWQUERY", "$MULTIWINDOW"));
}

TEST(FindWindowDefinition, ReportsWhatCannotBeFoundAsInternalError502) {
  const std::pair<const char*, const char*> cases[] = {
      {"Kestrel24$Kestr001", "P9$NOWHERE"},  // module found, label absent
      {"NOSUCHMODULE", "$WINDOW"},           // no resource of that name anywhere
  };
  for (const auto& [module, label] : cases) {
    auto found = FindWindowDefinition(module, label);
    ASSERT_FALSE(found) << label;
    EXPECT_EQ(int(found.error().number), 502);
    EXPECT_EQ(found.error().detail, "WSLDIAL");
    EXPECT_NE(found.error().reason.find(label), std::string::npos) << found.error().reason;
  }
}

TEST(FindWindowDefinition, RefusesASecondDefinitionOnAThreadThatHoldsOne) {
  auto first = FindWindowDefinition("FWERROR", "$WINDOW");
  ASSERT_TRUE(first);
  auto second = FindWindowDefinition("FWEIP", "$TXTWINDOW");
  ASSERT_FALSE(second);
  EXPECT_EQ(int(second.error().number), 502);
  first.value().release();
  EXPECT_FALSE(first.value().held());
  EXPECT_TRUE(FindWindowDefinition("FWEIP", "$TXTWINDOW"));
}

TEST(FindWindowDefinition, AnotherThreadWaitsForTheRelease) {
  auto held = FindWindowDefinition("FWERROR", "$WINDOW");
  ASSERT_TRUE(held);
  std::atomic<bool> released{false}, loadedAfterRelease{false};
  std::thread other([&] {
    auto mine = FindWindowDefinition("FWPOPUP", "$WINDOW");
    loadedAfterRelease = mine.ok() && released.load();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  released = true;
  held.value().release();
  other.join();
  EXPECT_TRUE(loadedAfterRelease);
}

// Modules registered for these tests: one whose resource belongs to another module name, one whose
// container is corrupt, one with a good copy of a window the program lacks.
class ModuleSearch : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RecordDef w;
    w.layout = layoutOf(std::uint8_t(Kind::Window));
    w.texts[std::size_t(Slot::Label)] = "$EXTRA";
    good_ = writeContainer({"PLUGIN$EXTRA", {w}});
    other_ = writeContainer({"SOMEONEELSE$EXTRA", {w}});
    corrupt_ = {'P', 'L', 'U', 'G', 'I', 'N', '$', 'E', 'X', 'T', 'R', 'A', 0, 0xFF, 0xFF, 0xFF, 0x7F};
    platform::AddResource(platform::RegisterModule("other.dll"), "DABDUMP", "EXTRA_RSC", other_);
    platform::AddResource(platform::RegisterModule("corrupt.dll"), "DABDUMP", "EXTRA_RSC", corrupt_);
    platform::AddResource(platform::RegisterModule("plugin.dll"), "DABDUMP", "EXTRA_RSC", good_);
  }
  static inline std::vector<std::uint8_t> good_, other_, corrupt_;
};

TEST_F(ModuleSearch, SkipsModulesWhoseContainerBelongsToAnotherModuleName) {
  auto found = FindWindowDefinition("Plugin$Extra", "$extra");
  ASSERT_TRUE(found) << found.error().reason;
  EXPECT_EQ(found.value().module(), platform::GetModuleHandleA("PLUGIN.DLL"));
}

TEST_F(ModuleSearch, NamesTheCorruptionWhenNoModuleHasTheWindow) {
  const platform::HMODULE onlyCorrupt[] = {platform::GetModuleHandleA("corrupt.dll")};
  auto found = FindWindowDefinition("PLUGIN$EXTRA", "$EXTRA", onlyCorrupt);
  ASSERT_FALSE(found);
  EXPECT_EQ(int(found.error().number), 502);
  EXPECT_NE(found.error().reason.find("outside the definition body"), std::string::npos) << found.error().reason;
}

}  // namespace
}  // namespace tamsil::window
