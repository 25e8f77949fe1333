// What opening a window builds from its definition: the window's colours, icon, cursor and font,
// each control's class, font, colours, cursor, picture, value and format, the shapes and the
// sheet's tabs, block A's defaults, and kinds of unsettled layout.
#include <gtest/gtest.h>

#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/system/resource.h"
#include "platform/window/snapshot.h"
#include "platform/window/window.h"
#include "runtime/window/definition_tree.h"
#include "runtime/window/definition_writer.h"
#include "runtime/window/properties.h"
#include "runtime/window/runtime_classes.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::testing {
namespace {

using namespace window;
using platform::WindowColours;

class WindowBuilderTest : public RuntimeTest {
 protected:
  void TearDown() override {
    windows_.clear();
    RuntimeTest::TearDown();
  }
  Window& open(const char* module, const char* label) {
    Window& w = *windows_.emplace_back(std::make_unique<Window>(module, label));
    OpenWindowOp(w);
    return w;
  }
  static platform::WindowSnapshot snapshot(platform::HWND h) { return platform::snapshotWindow(h).value(); }

 private:
  std::vector<std::unique_ptr<Window>> windows_;
};

TEST_F(WindowBuilderTest, TheWindowTakesItsColoursIconCursorAndFontFromTheDefinition) {
  Window& w = open("RuntimeTest$Look", "P1$LOOK");
  EXPECT_EQ(w.look.colours, (ColourSlots{0x102030, 0x405060, 0x708090}));
  EXPECT_EQ(w.look.fontColour, 0xFFu);
  EXPECT_EQ(w.look.cursor, "IBEAM");
  EXPECT_EQ(w.icon, "look.ico");
  EXPECT_EQ(platform::FontFace(w.font), "Courier New");
  EXPECT_EQ(platform::FontCharset(w.font), 2);
  EXPECT_EQ(platform::FontWeight(w.font), 700);
  EXPECT_EQ(platform::GetWindowColours(w.handle), (WindowColours{0xFF, 0x102030, 0x405060, 0x708090}));
  // The runtime properties read them back.
  EXPECT_EQ(GetProperty(w, 0, prop::FontColor).text, "255");
  EXPECT_EQ(GetProperty(w, 0, prop::FontCharSet).text, "2");
  EXPECT_EQ(GetProperty(w, 0, prop::FontStyle).text, "700");
  EXPECT_EQ(GetProperty(w, 0, "Color").text, std::to_string(0x102030));
  EXPECT_EQ(GetProperty(w, 0, prop::SelectedFillColor).text, std::to_string(0x708090));
  EXPECT_EQ(GetProperty(w, 0, prop::Cursor).text, "IBEAM");
  EXPECT_EQ(GetProperty(w, 0, prop::Icon).text, "look.ico");
  // The file is missing, so the window shows the program's icon.
  EXPECT_EQ(platform::ImageStockId(platform::SendMessageA(w.handle, platform::WM_GETICON, platform::ICON_BIG, 0)), 32523);
}

TEST_F(WindowBuilderTest, AWindowWithoutFontColoursOrIconHasTheDefaults) {
  Window& w = open("RuntimeTest$Look", "P2$PLAIN");
  EXPECT_EQ(w.font, nullptr);
  EXPECT_EQ(w.look.colours, kDefaultColourSlots);
  EXPECT_EQ(w.icon, "");
  EXPECT_EQ(platform::GetWindowColours(w.handle), WindowColours{});
  EXPECT_EQ(platform::ImageStockId(platform::SendMessageA(w.handle, platform::WM_GETICON, platform::ICON_BIG, 0)), 32523);
  EXPECT_EQ(GetProperty(w, 0, prop::FontColor).text, "");
  EXPECT_EQ(GetProperty(w, 1, prop::Font).text, "");
}

TEST_F(WindowBuilderTest, AnApplicationFrameKeepsOnlyItsFrameBits) {
  Window& w = open("RuntimeTest$Look", "P3$FRAME");
  EXPECT_EQ(w.attributes, 0x300u);
}

// One control of each kind: its runtime class, font, foreground and background colour.
struct ControlCase {
  int field;
  const char* runtimeClass;
  const char* face;
  int points;
  platform::COLORREF foreground, background;
};
class BuiltControls : public WindowBuilderTest, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(BuiltControls, HaveTheirClassFontAndColours) {
  Window& w = open("RuntimeTest$Look", "P1$LOOK");
  const ControlCase& c = GetParam();
  const Control* control = w.control(c.field);
  ASSERT_NE(control, nullptr);
  ASSERT_NE(control->hwnd, nullptr);
  EXPECT_EQ(runtimeClassOf(control->hwnd), c.runtimeClass);
  const platform::WindowSnapshot s = snapshot(control->hwnd);
  EXPECT_EQ(platform::FontFace(s.font), c.face);
  EXPECT_EQ(platform::FontPoints(s.font), c.points);
  EXPECT_EQ(s.colours.foreground, c.foreground);
  EXPECT_EQ(s.colours.background, c.background);
}

constexpr platform::COLORREF kNone = platform::kDefaultColour;
INSTANTIATE_TEST_SUITE_P(Kinds, BuiltControls,
                         ::testing::Values(ControlCase{1, "TslPrompt", "Courier New", 9, 0xFF, kNone},  // the window's font and its colour
                                           ControlCase{2, "TslEdit", "Arial", 7, 0xFFFFFF, 0xFFFFFF},   // its own font and colours
                                           ControlCase{4, "TslCheck", "Courier New", 9, 0xFF, kNone},   //
                                           ControlCase{7, "TslRadio", "Courier New", 9, 0xFF, kNone},   //
                                           ControlCase{9, "TslList", "Courier New", 9, 0xFF, kNone},    //
                                           ControlCase{10, "TslText", "Courier New", 9, 0xFF, kNone},   //
                                           ControlCase{11, "TslRTF", "Courier New", 9, 0xFF, kNone},    // attribute 0x40: rich text
                                           ControlCase{12, "", "Courier New", 9, 0xFF, kNone},          // a line draws in slot 0
                                           ControlCase{13, "", "Courier New", 9, 0x00FF00, 0xFF0000},   // a box frames in 0, fills with 1
                                           ControlCase{14, "", "Courier New", 9, 0xFF00FF, kNone},      // a panel fills with slot 0
                                           ControlCase{15, "TslSheet", "Courier New", 9, 0xFF, kNone},  //
                                           ControlCase{16, "TslTab", "Courier New", 9, 0xFF, kNone}));  //

TEST_F(WindowBuilderTest, ControlsKeepTheirCursorPictureValueFormatAndLeftText) {
  Window& w = open("RuntimeTest$Look", "P1$LOOK");
  EXPECT_EQ(w.control(2)->look.cursor, "CROSS");
  EXPECT_EQ(GetProperty(w, 2, prop::Cursor).text, "CROSS");
  EXPECT_EQ(w.control(2)->look.colours, (ColourSlots{0xFFFFFF, 0, 0xC0C0C0}));
  EXPECT_EQ(GetProperty(w, 2, prop::SelectedColor).text, "0");
  EXPECT_EQ(GetProperty(w, 2, prop::FontSize).text, "7");
  EXPECT_EQ(w.control(2)->picture, "@n7");
  EXPECT_EQ(w.control(7)->value, "10");
  EXPECT_EQ(GetProperty(w, 8, prop::TrueValue).text, "20");
  EXPECT_EQ(w.control(9)->format, "80L(2)@s20@");
  EXPECT_EQ(GetProperty(w, 9, prop::Format).text, "80L(2)@s20@");
  EXPECT_TRUE(snapshot(w.control(4)->hwnd).style & platform::BS_LEFTTEXT);
  EXPECT_FALSE(snapshot(w.control(5)->hwnd).style & platform::BS_LEFTTEXT);
}

TEST_F(WindowBuilderTest, AnEntryTakesNoMoreCharactersThanItsPictureShows) {
  Window& w = open("RuntimeTest$Look", "P1$LOOK");
  EXPECT_EQ(snapshot(w.control(2)->hwnd).control.limit, 7u);
  EXPECT_EQ(snapshot(w.control(3)->hwnd).control.limit, 20u);
  Window& builder = open("ASCMEON", "P3$BUILDERWINDOW");
  EXPECT_EQ(snapshot(builder.control(5)->hwnd).control.limit, 7u);
}

TEST_F(WindowBuilderTest, ShapesArePlatformStaticsAndALineIsAtLeastOnePixelThick) {
  Window& w = open("RuntimeTest$Look", "P1$LOOK");
  const platform::WindowSnapshot line = snapshot(w.control(12)->hwnd);
  EXPECT_EQ(line.className, "static");
  EXPECT_EQ(line.style & platform::SS_TYPEMASK, platform::SS_BLACKRECT);
  EXPECT_EQ(line.rect.height(), 1);
  EXPECT_GT(line.rect.width(), 100);
  EXPECT_EQ(snapshot(w.control(13)->hwnd).style & platform::SS_TYPEMASK, platform::SS_BLACKFRAME);
  EXPECT_FALSE(line.style & platform::WS_TABSTOP);
}

TEST_F(WindowBuilderTest, ASheetHasOneTabPerTabRecordAndTheFirstSelected) {
  Window& w = open("RuntimeTest$Look", "P1$LOOK");
  const platform::WindowSnapshot sheet = snapshot(w.control(15)->hwnd);
  EXPECT_EQ(sheet.kind, platform::ControlKind::Tab);
  EXPECT_EQ(sheet.control.items, (std::vector<std::string>{"One", "Two"}));
  EXPECT_EQ(sheet.control.curSel, 0);
  EXPECT_TRUE(sheet.style & platform::WS_TABSTOP);
  EXPECT_FALSE(snapshot(w.control(16)->hwnd).style & platform::WS_TABSTOP);
  EXPECT_EQ(w.control(16)->parentField, 15);
}

TEST_F(WindowBuilderTest, BlockAWithoutAlternateTextOrHelpTakesTheWindowsAndMarksIt) {
  Window& w = open("RuntimeTest$Look", "P1$LOOK");
  const Control& defaulted = *w.control(2);
  EXPECT_EQ(defaulted.altMessage, "Window hint");
  EXPECT_TRUE(defaulted.altMessageDefaulted);
  EXPECT_EQ(defaulted.message, "How many");  // its own message stays its own
  EXPECT_EQ(defaulted.help, "~WindowHelp");
  EXPECT_TRUE(defaulted.helpDefaulted);
  const Control& own = *w.control(3);
  EXPECT_EQ(own.altMessage, "Own hint");
  EXPECT_FALSE(own.altMessageDefaulted);
  EXPECT_EQ(own.message, "");  // no message of its own: none, not the window's
  EXPECT_EQ(own.help, "~OwnHelp");
  EXPECT_FALSE(own.helpDefaulted);
}

TEST_F(WindowBuilderTest, TheCalendarWritesInWhiteArialSevenOnItsDarkColours) {
  Window& w = open("FWUTIL", "P91$SCREEN");
  EXPECT_EQ(platform::GetWindowColours(w.handle), (WindowColours{0xFFFFFF, 0x404040, 0xFFFFFF, 0x808080}));
  for (int field : {1002, 1004, 1007}) {
    const platform::WindowSnapshot s = snapshot(w.control(field)->hwnd);
    EXPECT_EQ(platform::FontFace(s.font), "Arial") << field;
    EXPECT_EQ(platform::FontPoints(s.font), 7) << field;
    EXPECT_EQ(s.colours.foreground, 0xFFFFFFu) << field;
  }
  EXPECT_EQ(snapshot(w.control(1000)->hwnd).colours.foreground, 0x800000u);  // the panel
}

// Kinds whose layout is not settled cannot be written from a source; the container is written
// with a settled kind's layout and the kind byte changed afterwards.
std::vector<unsigned char>& unsettledKinds() {
  static std::vector<unsigned char> bytes = [] {
    auto record = [](Kind kind, int field) {
      RecordDef r;
      r.layout = layoutOf(std::uint8_t(kind));
      r.field = field;
      r.pos = {4, 4, 60, 12};
      return r;
    };
    RecordDef window = record(Kind::Window, 0);
    window.texts[std::size_t(Slot::Label)] = "P1$ODD";
    window.pos = {kDefaultPosition, kDefaultPosition, 100, 60};
    RecordDef spin = record(Kind::Entry, 1);
    spin.texts[std::size_t(Slot::Picture)] = "@n3";
    window.children = {spin, record(Kind::Entry, 2), record(Kind::Entry, 3)};
    std::vector<std::uint8_t> c = writeContainer({"RuntimeTest$Odd", {window}});
    // The records' kind bytes, in chain order, become 0x10, 0x21 and 0x22.
    const std::size_t body = std::string_view("RuntimeTest$Odd").size() + 1;
    const DefinitionBuffer buffer = makeDefinitionBuffer(std::span(c).subspan(body));
    DefinitionReader r(buffer);
    const auto tree = readWindowTree(r, r.firstWindow().value()).value();
    const std::uint8_t kinds[] = {0x10, 0x21, 0x22};
    for (std::size_t i = 0; i < 3; ++i) c[body + tree.controls[i].record.offset - kBodyBias] = kinds[i];
    return std::vector<unsigned char>(c.begin(), c.end());
  }();
  return bytes;
}

TEST_F(WindowBuilderTest, KindsOfUnsettledLayoutAreBuiltAsEntriesAndDropLists) {
  static const bool added = platform::AddResource(platform::RegisterModule("odd"), "DABDUMP", "ODD_RSC", unsettledKinds());
  ASSERT_TRUE(added);
  Window& w = open("RuntimeTest$Odd", "P1$ODD");
  ASSERT_NE(w.control(1), nullptr);
  EXPECT_EQ(runtimeClassOf(w.control(1)->hwnd), "TslEdit");
  EXPECT_EQ(w.control(1)->picture, "@n3");  // read with the entry layout
  EXPECT_EQ(snapshot(w.control(1)->hwnd).control.limit, 3u);
  EXPECT_GT(snapshot(w.control(1)->hwnd).rect.width(), 0);
  EXPECT_EQ(runtimeClassOf(w.control(2)->hwnd), "TslDrop");
  EXPECT_EQ(runtimeClassOf(w.control(3)->hwnd), "TslDrop");
}

TEST_F(WindowBuilderTest, AListMarkedToDropDownIsADropList) {
  Window& w = open("RuntimeTest$Look", "P4$DROP");
  EXPECT_EQ(runtimeClassOf(w.control(1)->hwnd), "TslDrop");
  EXPECT_EQ(runtimeClassOf(w.control(2)->hwnd), "TslList");
  EXPECT_EQ(GetProperty(w, 1, prop::Drop).text, "1");
  EXPECT_EQ(GetProperty(w, 2, prop::Drop).text, "");
  EXPECT_EQ(w.control(1)->format, "80L(2)@s20@");  // still read with the list's layout
}

}  // namespace
}  // namespace tamsil::testing
