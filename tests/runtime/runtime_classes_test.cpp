// The runtime's window classes: registered on first use under their name and the module suffix.
#include <gtest/gtest.h>

#include "platform/window/window.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/runtime_classes.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::testing {
namespace {

using namespace window;

TEST_F(RuntimeTest, ClassesAreRegisteredWithTheModuleSuffixAndFoundByTheirRuntimeName) {
  const RuntimeClass* list = runtimeClassForKind(std::uint8_t(Kind::List), true);
  ASSERT_NE(list, nullptr);
  const std::string name = ensureRuntimeClass(*list);
  EXPECT_EQ(name, "TslDrop" + runtimeClassSuffix());
  EXPECT_TRUE(runtimeClassSuffix().starts_with("_"));
  EXPECT_EQ(ensureRuntimeClass(*list), name);  // once registered, it stays
  platform::HWND h = platform::CreateWindowExA(0, name.c_str(), "", 0, 0, 0, 10, 10, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(runtimeClassOf(h), "TslDrop");
  platform::DestroyWindow(h);
  EXPECT_EQ(runtimeClassOf(nullptr), "");
}

}  // namespace
}  // namespace tamsil::testing
