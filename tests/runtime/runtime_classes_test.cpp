// The runtime's window classes: registered on first use under their name and the module suffix.
#include <gtest/gtest.h>

#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/snapshot.h"
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

// The classes besides the definitions' controls, and the platform control each is built on.
struct ClassCase {
  const char* name;
  platform::ControlKind kind;
};
class RuntimeClassKinds : public RuntimeTest, public ::testing::WithParamInterface<ClassCase> {};

TEST_P(RuntimeClassKinds, RegisterOnFirstUseAndAreTheirPlatformControl) {
  const RuntimeClass* cls = runtimeClassNamed(GetParam().name);
  ASSERT_NE(cls, nullptr);
  const std::string name = ensureRuntimeClass(*cls);
  EXPECT_EQ(name, GetParam().name + runtimeClassSuffix());
  platform::HWND h = platform::CreateWindowExA(0, name.c_str(), "", 0, 0, 0, 10, 10, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(runtimeClassOf(h), GetParam().name);
  EXPECT_EQ(platform::snapshotWindow(h)->kind, GetParam().kind);
  platform::DestroyWindow(h);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, RuntimeClassKinds,
    ::testing::Values(ClassCase{"TslTab", platform::ControlKind::None}, ClassCase{"TslRTF", platform::ControlKind::RichEdit},
                      ClassCase{"TslSheet", platform::ControlKind::Tab}, ClassCase{"TslToolTip", platform::ControlKind::None},
                      ClassCase{"TslTimerWinClass", platform::ControlKind::None}, ClassCase{"TslDDEWinClass", platform::ControlKind::None}));

TEST_F(RuntimeTest, ATimerWindowHandsItsTimersToTheObjectInItsWindowData) {
  struct Ticks : TimerTarget {
    std::vector<platform::UINT_PTR> seen;
    void onTimer(platform::UINT_PTR id) override { seen.push_back(id); }
  } ticks;
  const std::string name = ensureRuntimeClass(*runtimeClassNamed("TslTimerWinClass"));
  platform::HWND h = platform::CreateWindowExA(0, name.c_str(), "", 0, 0, 0, 0, 0, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  platform::SendMessageA(h, platform::WM_TIMER, 7, 0);  // no object yet: nothing happens
  platform::SetWindowLongPtrA(h, platform::GWLP_USERDATA, reinterpret_cast<platform::LONG_PTR>(&ticks));
  platform::SendMessageA(h, platform::WM_TIMER, 3, 0);
  platform::SendMessageA(h, platform::WM_TIMER, 4, 0);
  EXPECT_EQ(ticks.seen, (std::vector<platform::UINT_PTR>{3, 4}));
  platform::DestroyWindow(h);
}

}  // namespace
}  // namespace tamsil::testing
