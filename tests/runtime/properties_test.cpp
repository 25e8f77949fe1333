// Runtime properties on the demo window: the ones that act on the window and its controls, the
// stored ones, the DeferMove batch, the size limits, the control-property entries, and bad input.
#include <gtest/gtest.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/window.h"
#include "runtime/window/control_access.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/message_box.h"
#include "runtime/window/properties.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::testing {
namespace {

using namespace window;
using Status = PropertyStatus;

constexpr int kGrid = 20, kClose = 21;  // the OLE control and the Close button

class PropertiesTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    OpenWindowOp(w);
  }
  // The window goes before the thread's runtime context does.
  void TearDown() override {
    window_.reset();
    RuntimeTest::TearDown();
  }
  std::string get(int field, std::uint16_t n, int index = 0) { return GetProperty(w, field, n, index).text; }
  platform::RECT pixels(int field) {
    platform::RECT r{};
    platform::GetWindowRect(w.control(field)->hwnd, &r);
    return r;
  }
  std::unique_ptr<Window> window_ = std::make_unique<Window>("RuntimeTest$Main", "P1$WINDOW");
  Window& w = *window_;
};

TEST_F(PropertiesTest, TextAndTypeComeFromTheRealWindowAndControls) {
  EXPECT_EQ(get(0, prop::Text), "Runtime test window");
  EXPECT_EQ(get(kClose, prop::Text), "Close");
  EXPECT_EQ(SetProperty(w, kClose, prop::Text, "Quit"), Status::Ok);
  EXPECT_EQ(platform::GetWindowTextString(w.control(kClose)->hwnd), "Quit");
  EXPECT_EQ(get(0, prop::Type), "25");
  EXPECT_EQ(get(kGrid, prop::Type), "32");
  EXPECT_EQ(get(kClose, prop::Type), "9");
  EXPECT_EQ(get(kClose, prop::Parent), "0");
  EXPECT_EQ(get(7, prop::Text), "");  // a menu item keeps what is stored for it
}

TEST_F(PropertiesTest, PositionsAreTheDefinitionsDialogUnitsAndMoveTheControl) {
  DialogRect r;
  ASSERT_EQ(GetPosition(w, kClose, r), Status::Ok);
  EXPECT_EQ(r, (DialogRect{487, 341, 45, 14}));
  ASSERT_EQ(GetPosition(w, 0, r), Status::Ok);
  EXPECT_EQ(r.width, 536);
  EXPECT_EQ(r.height, 358);

  const platform::RECT before = pixels(kClose);
  EXPECT_EQ(SetProperty(w, kClose, prop::Width, 90L), Status::Ok);
  EXPECT_EQ(get(kClose, prop::Width), "90");
  EXPECT_NEAR(pixels(kClose).width(), 2 * before.width(), 1);  // each converted with rounding
  EXPECT_EQ(pixels(kClose).left, before.left);                 // the other coordinates stay exactly

  EXPECT_EQ(SetProperty(w, 0, prop::Width, 600L), Status::Ok);
  EXPECT_EQ(get(0, prop::Width), "600");
  EXPECT_EQ(get(0, prop::ClientWidth), "600");
  EXPECT_EQ(get(0, prop::ClientHeight), "358");
}

TEST_F(PropertiesTest, DeferMoveCollectsMovesAndCarriesThemOutTogether) {
  const platform::RECT before = pixels(kClose);
  EXPECT_EQ(SetProperty(w, 0, prop::DeferMove, -2L), Status::Ok);
  EXPECT_EQ(get(0, prop::DeferMove), "-2");
  EXPECT_EQ(SetPosition(w, kClose, 10, 20, kUnchanged, kUnchanged), Status::Ok);
  EXPECT_EQ(SetProperty(w, kGrid, prop::Height, 100L), Status::Ok);
  EXPECT_EQ(pixels(kClose), before);         // nothing moved yet
  EXPECT_EQ(get(kClose, prop::Xpos), "10");  // but the program reads what it asked for
  EXPECT_EQ(SetProperty(w, 0, prop::DeferMove, 0L), Status::Ok);
  EXPECT_EQ(get(0, prop::DeferMove), "0");
  DialogRect r;
  GetPosition(w, kClose, r);
  EXPECT_EQ(r, (DialogRect{10, 20, 45, 14}));
  GetPosition(w, kGrid, r);
  EXPECT_EQ(r, (DialogRect{3, 4, 528, 100}));
}

TEST_F(PropertiesTest, NoWidthKeepsTheWidthOfPositionMovesButNotOfWidthItself) {
  SetProperty(w, kClose, prop::NoWidth, 1L);
  SetPosition(w, kClose, 100, 100, 200, 20);
  DialogRect r;
  GetPosition(w, kClose, r);
  EXPECT_EQ(r, (DialogRect{100, 100, 45, 20}));
  SetProperty(w, kClose, prop::Width, 50L);
  EXPECT_EQ(get(kClose, prop::Width), "50");
}

TEST_F(PropertiesTest, FlagsActOnTheWindowAndControls) {
  const platform::HWND button = w.control(kClose)->hwnd;
  EXPECT_EQ(SetProperty(w, kClose, prop::Hide, 1L), Status::Ok);
  EXPECT_FALSE(platform::IsWindowVisible(button));
  EXPECT_EQ(get(kClose, prop::Hide), "1");
  SetProperty(w, kClose, prop::Hide, 0L);
  EXPECT_TRUE(platform::IsWindowVisible(button));
  EXPECT_EQ(get(kClose, prop::Hide), "");

  SetProperty(w, kClose, prop::Disable, 1L);
  EXPECT_FALSE(platform::IsWindowEnabled(button));
  EXPECT_EQ(get(kClose, prop::Disable), "1");

  SetProperty(w, 0, prop::Maximize, 1L);
  EXPECT_TRUE(platform::IsZoomed(w.handle));
  EXPECT_EQ(get(0, prop::Maximize), "1");
  SetProperty(w, 0, prop::Maximize, 0L);
  EXPECT_FALSE(platform::IsZoomed(w.handle));
  SetProperty(w, 0, prop::Iconize, 1L);
  EXPECT_TRUE(platform::IsIconic(w.handle));
  EXPECT_EQ(get(0, prop::Iconize), "1");

  SetProperty(w, kClose, prop::Default, 1L);
  EXPECT_EQ(platform::GetWindowLongPtrA(button, platform::GWL_STYLE) & platform::BS_TYPEMASK, platform::BS_DEFPUSHBUTTON);
  EXPECT_EQ(get(kClose, prop::Default), "1");

  SetProperty(w, 0, prop::Resize, 0L);
  EXPECT_EQ(get(0, prop::Resize), "");
  EXPECT_FALSE(platform::GetWindowLongPtrA(w.handle, platform::GWL_STYLE) & platform::WS_THICKFRAME);
}

TEST_F(PropertiesTest, AWindowsIconIsItsPlatformWindowIcon) {
  const auto picture = std::filesystem::temp_directory_path() / ("icon-" + std::to_string(getpid()) + ".png");
  std::ofstream(picture) << "not really a picture, but a file";
  EXPECT_EQ(SetProperty(w, 0, prop::Icon, picture.string()), Status::Ok);
  const auto image = platform::SendMessageA(w.handle, platform::WM_GETICON, platform::ICON_BIG, 0);
  EXPECT_EQ(platform::ImagePath(image), picture.string());
  EXPECT_EQ(get(0, prop::Icon), picture.string());
  std::filesystem::remove(picture);
}

TEST_F(PropertiesTest, FieldsAndTabStopsCanBeEnumerated) {
  std::vector<int> fields;
  for (int f = int(GetProperty(w, 0, prop::NextField, 0).number()); f; f = int(GetProperty(w, 0, prop::NextField, f).number()))
    fields.push_back(f);
  std::vector<int> expected;
  for (int f = 1; f <= 21; ++f) expected.push_back(f);
  EXPECT_EQ(fields, expected);
  EXPECT_EQ(get(kGrid, prop::NextTabStop), "21");
  EXPECT_EQ(get(kClose, prop::NextTabStop), "20");
  EXPECT_EQ(get(kGrid, prop::PrevTabStop), "21");
  EXPECT_EQ(get(0, prop::NextTabStop), "20");
}

TEST_F(PropertiesTest, AlertKeysAreAListByPosition) {
  EXPECT_EQ(SetProperty(w, 0, prop::Alrt, 0x70L, 1), Status::Ok);
  EXPECT_EQ(SetProperty(w, 0, prop::Alrt, 0x71L, 2), Status::Ok);
  EXPECT_EQ(SetProperty(w, 0, prop::Alrt, 0x72L, 4), Status::IndexOutOfRange);  // leaves no gap
  EXPECT_EQ(get(0, prop::Alrt, 2), "113");
  SetProperty(w, 0, prop::Alrt, 0L, 1);
  EXPECT_EQ(get(0, prop::Alrt, 1), "113");
  EXPECT_EQ(get(0, prop::Alrt, 2), "0");
  EXPECT_EQ(w.alertKeys, (std::vector<std::uint32_t>{0x71}));
}

TEST_F(PropertiesTest, TimerSetsTheWindowsTimer) {
  SetProperty(w, 0, prop::Timer, 50L);
  EXPECT_TRUE(w.timerSet);
  EXPECT_EQ(get(0, prop::Timer), "50");
  SetProperty(w, 0, prop::Timer, 0L);
  EXPECT_FALSE(w.timerSet);
  EXPECT_EQ(get(0, prop::Timer), "0");
}

TEST_F(PropertiesTest, OtherPropertiesAreStoredPerObjectAndIndex) {
  EXPECT_EQ(SetProperty(w, 0, prop::AcceptAll, "1"), Status::Ok);
  EXPECT_EQ(get(0, prop::AcceptAll), "1");
  EXPECT_EQ(get(kClose, prop::AcceptAll), "");
  EXPECT_EQ(SetProperty(w, 0, "StatusText", "Ready", 2), Status::Ok);
  EXPECT_EQ(GetProperty(w, 0, "PROP:statustext", 2).text, "Ready");
  EXPECT_EQ(GetProperty(w, 0, "StatusText", 1).text, "");
  EXPECT_EQ(SetProperty(w, 0, prop::Font, "Arial", prop::TipsFont), Status::Ok);
  EXPECT_EQ(get(0, prop::Font, prop::TipsFont), "Arial");
  EXPECT_EQ(get(0, prop::Font), "MS Sans Serif");  // the window's own font, from its definition
  EXPECT_EQ(SetProperty(w, 0, prop::InToolBar, "0"), Status::Ok);
  EXPECT_EQ(SetProperty(w, 0, prop::DeferMove, "-4", -4), Status::Ok);  // a plain property ignores its index
}

TEST_F(PropertiesTest, SizeLimitsHoldWhenTheUserSizesTheWindow) {
  SetProperty(w, 0, prop::MinWidth, 400L);
  SetProperty(w, 0, prop::MinHeight, 300L);
  SetProperty(w, 0, prop::MaxWidth, 700L);
  long width = 0, height = 0, widest = 0;
  script("resize 50 50\nresize 3000 200\n");
  int sized = 0;
  runLoop([&](int code, int) {
    if (code == event::Sized && ++sized == 1) {
      width = GetProperty(w, 0, prop::Width).number();
      height = GetProperty(w, 0, prop::Height).number();
    } else if (code == event::Sized) {
      widest = GetProperty(w, 0, prop::Width).number();
    }
    return 0;
  });
  EXPECT_EQ(width, 400);
  EXPECT_EQ(height, 300);
  EXPECT_EQ(widest, 700);
}

// The move-and-size switch has a number and no name: it turns the window's events on and off.
TEST_F(PropertiesTest, MoveSizeEventsSwitchTheWindowsSizeEvents) {
  EXPECT_EQ(get(0, prop::MoveSizeEvents), "1");  // the definition's attribute
  EXPECT_EQ(SetProperty(w, 0, prop::MoveSizeEvents, 0L), Status::Ok);
  EXPECT_EQ(get(0, prop::MoveSizeEvents), "");  // a flag that is off reads empty
  EXPECT_EQ(GetProperty(w, 0, std::string_view("MoveSizeEvents")).status, Status::UnknownProperty);
  EXPECT_EQ(SetProperty(w, kClose, prop::MoveSizeEvents, 1L), Status::Ok);  // stored on a control
  EXPECT_EQ(get(kClose, prop::MoveSizeEvents), "1");
  script("resize 700 500\n");
  runLoop();
  EXPECT_EQ(std::ranges::count(events, "EVENT:Sized 0"), 0);
}

TEST_F(PropertiesTest, SizeLimitsHoldTheProgramsOwnMovesToo) {
  SetProperty(w, 0, prop::MinWidth, 400L);
  SetProperty(w, 0, prop::MinHeight, 300L);
  SetProperty(w, 0, prop::MaxWidth, 700L);
  SetProperty(w, 0, prop::MaxHeight, 500L);
  EXPECT_EQ(SetPosition(w, 0, 10, 20, 100, 100), Status::Ok);
  EXPECT_EQ(get(0, prop::Width), "400");
  EXPECT_EQ(get(0, prop::Height), "300");
  EXPECT_EQ(get(0, prop::Xpos), "10");  // the move itself is kept
  SetProperty(w, 0, prop::Width, 3000L);
  SetProperty(w, 0, prop::Height, 450L);
  EXPECT_EQ(get(0, prop::Width), "700");
  EXPECT_EQ(get(0, prop::Height), "450");
  SetProperty(w, 0, prop::Iconize, 1L);  // a minimized window is not held to them
  EXPECT_TRUE(platform::IsIconic(w.handle));
}

TEST_F(PropertiesTest, AWindowWhoseIconCannotBeReadShowsTheProgramsIcon) {
  const auto icon = [&] { return platform::ImageStockId(platform::SendMessageA(w.handle, platform::WM_GETICON, platform::ICON_BIG, 0)); };
  ASSERT_EQ(icon(), 32523);  // the window names no icon of its own
  for (const char* name : {"", "/nonexistent/kestrel-icon.ico"}) {
    EXPECT_EQ(SetProperty(w, 0, prop::Icon, name), Status::Ok);
    EXPECT_EQ(icon(), 32523) << name;
    EXPECT_EQ(get(0, prop::Icon), name);
  }
}

TEST_F(PropertiesTest, ControlsInTheToolBarLeaveTheTabOrder) {
  EXPECT_EQ(get(kGrid, prop::NextTabStop), "21");
  EXPECT_EQ(SetProperty(w, kClose, prop::InToolBar, 1L), Status::Ok);
  EXPECT_EQ(get(kClose, prop::InToolBar), "1");
  EXPECT_EQ(get(kGrid, prop::NextTabStop), "20");  // the grid is the only stop left
  ASSERT_EQ(w.tabStops().size(), 1u);
  EXPECT_EQ(w.tabStops().front()->field, kGrid);
  EXPECT_EQ(SetProperty(w, kClose, prop::InToolBar, 0L), Status::Ok);
  EXPECT_EQ(get(kGrid, prop::NextTabStop), "21");
}

// Bad input: a neutral answer and a status, never a crash.
struct BadAccess {
  const char* name;
  int field;
  std::uint16_t number;
  int index;
  const char* value;  // null: read
  Status expected;
};

class BadPropertyTest : public PropertiesTest, public ::testing::WithParamInterface<BadAccess> {};

TEST_P(BadPropertyTest, AnswersNeutrallyWithAStatus) {
  const BadAccess& b = GetParam();
  if (b.value) {
    EXPECT_EQ(SetProperty(w, b.field, b.number, b.value, b.index), b.expected);
  } else {
    const PropertyValue v = GetProperty(w, b.field, b.number, b.index);
    EXPECT_EQ(v.status, b.expected);
    EXPECT_EQ(v.text, "");
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, BadPropertyTest,
                         ::testing::Values(BadAccess{"NumberWithoutName", 0, 0x7C16, 0, nullptr, Status::UnknownProperty},
                                           BadAccess{"NumberBelowTheRange", 0, 0x10, 0, nullptr, Status::UnknownProperty},
                                           BadAccess{"WriteUnknown", 0, 0x7FFF, 0, "1", Status::UnknownProperty},
                                           BadAccess{"IndexBelowOne", 0, prop::Alrt, 0, nullptr, Status::IndexOutOfRange},
                                           BadAccess{"IndexTooLarge", 0, prop::Status, 256, "x", Status::IndexOutOfRange},
                                           BadAccess{"NegativeIndex", 0, prop::Status, -1, nullptr, Status::IndexOutOfRange},
                                           BadAccess{"NoFontOfThatSelector", 0, prop::FontSize, 3, nullptr, Status::IndexOutOfRange},
                                           BadAccess{"NoSuchField", 99, prop::Text, 0, nullptr, Status::NoSuchControl},
                                           BadAccess{"ReadOnly", kClose, prop::Type, 0, "3", Status::ReadOnly},
                                           BadAccess{"ClientSizeIsReadOnly", 0, prop::ClientWidth, 0, "3", Status::ReadOnly},
                                           BadAccess{"TextForANumber", kClose, prop::Xpos, 0, "ten", Status::BadValue},
                                           BadAccess{"NumberTooLarge", kClose, prop::Xpos, 0, "99999999999", Status::BadValue},
                                           BadAccess{"HookAddress", 0, prop::MessageHook, 0, "4198400", Status::BadValue}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(PropertiesTest, AWindowThatIsNotOpenAnswersWindowNotOpen) {
  Window closed("RuntimeTest$Main", "P1$WINDOW");  // never opened
  EXPECT_EQ(GetProperty(closed, 0, prop::Text).status, Status::WindowNotOpen);
  EXPECT_EQ(SetProperty(closed, kClose, prop::Hide, 1L), Status::WindowNotOpen);
  DialogRect r;
  EXPECT_EQ(GetPosition(closed, 0, r), Status::WindowNotOpen);
  CloseWindowOp(w);
  EXPECT_EQ(GetProperty(w, kClose, prop::Width).status, Status::WindowNotOpen);
  EXPECT_EQ(GetProperty(w, 0, "Nope").status, Status::UnknownProperty);
}

unsigned answerOk(const MessageBoxRequest&) { return BtnOk; }

TEST_F(PropertiesTest, HooksReadAsInstalledAndCanOnlyBeRemovedThroughTheirProperty) {
  EXPECT_EQ(GetSystemProperty(prop::MessageHook).text, "0");
  SetMessageHook(answerOk);
  EXPECT_NE(GetSystemProperty(prop::MessageHook).text, "0");
  EXPECT_EQ(get(kClose, prop::MessageHook), GetSystemProperty(prop::MessageHook).text);  // one per program
  EXPECT_EQ(SetSystemProperty(prop::MessageHook, "0"), Status::Ok);
  EXPECT_EQ(CurrentMessageHook(), nullptr);
  EXPECT_EQ(SetSystemProperty(0x7A0B, "1"), Status::Ok);
  EXPECT_EQ(GetSystemProperty(0x7A0B).text, "1");
}

// An automation that records what it was asked.
class RecordingAutomation : public ControlAutomation {
 public:
  PropertyValue call(std::string_view member) override {
    calls.push_back("call " + std::string(member));
    return {Status::Ok, "42"};
  }
  Status put(std::string_view member, std::string_view value) override {
    calls.push_back("put " + std::string(member) + "=" + std::string(value));
    return Status::Ok;
  }
  std::vector<std::string> calls;
};

TEST_F(PropertiesTest, SelectorsGoToTheRuntimeOrToTheControl) {
  auto automation = std::make_shared<RecordingAutomation>();
  w.control(kGrid)->automation = automation;
  EXPECT_EQ(PropertyCall(w, kGrid, 0, Selector{std::uint32_t(prop::Type)}).text, "32");
  EXPECT_EQ(PropertyCall(w, kGrid, 1, Selector{std::string("Type")}).text, "32");  // a name, by its index
  EXPECT_EQ(PropertyCall(w, kGrid, 0, Selector{std::string("MaxRows")}).text, "42");
  EXPECT_EQ(PropertyCall(w, kGrid, 0, Selector{std::uint32_t(0)}).text, "42");
  EXPECT_EQ(PropertyPut(w, kGrid, 0, Selector{std::string("Col")}, "3"), Status::Ok);
  EXPECT_EQ(automation->calls, (std::vector<std::string>{"call MaxRows", "call 0", "put Col=3"}));
  EXPECT_EQ(PropertyCall(w, kGrid, 1, Selector{std::string("NoSuchName")}).status, Status::UnknownProperty);
  EXPECT_EQ(PropertyCall(w, kGrid, 0, Selector{std::uint32_t(0x12345)}).status, Status::UnknownProperty);

  // A control without automation: reads are not handled, writes take the text as a property name.
  EXPECT_EQ(PropertyCall(w, kClose, 0, Selector{std::string("Text")}).status, Status::NotHandled);
  EXPECT_EQ(PropertyPut(w, kClose, 0, Selector{std::string("Text")}, "Done"), Status::Ok);
  EXPECT_EQ(get(kClose, prop::Text), "Done");
}

using PropertiesDeathTest = PropertiesTest;

TEST_F(PropertiesDeathTest, TextFromAnotherThreadIsARuntimeError) {
  EXPECT_EXIT({ platform::Thread other([&] { SetProperty(w, kClose, prop::Text, "x"); }); }, ::testing::ExitedWithCode(2),
              "Unable to complete operation \\(system is MODAL\\) : CTLTEXT");
}

}  // namespace
}  // namespace tamsil::testing
