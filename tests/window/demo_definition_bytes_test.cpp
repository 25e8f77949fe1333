// Decodes the compiled demo window with plain byte arithmetic, independent of the runtime's reader,
// and checks it against the demo window's table: a reader that shares a mistake with the writer
// cannot hide it here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/system/resource.h"

namespace {

// The container as the resource lookup hands it out.
struct Container {
  std::vector<std::uint8_t> bytes;
  std::size_t bodyStart = 0;  // index of the byte after the module name's NUL

  // A definition offset names body byte offset - 2.
  std::size_t at(std::uint32_t offset) const { return bodyStart + offset - 2; }
  std::uint32_t u32(std::uint32_t offset) const {
    const std::size_t i = at(offset);
    return bytes.at(i) | bytes.at(i + 1) << 8 | bytes.at(i + 2) << 16 | std::uint32_t(bytes.at(i + 3)) << 24;
  }
  std::uint8_t u8(std::uint32_t offset) const { return bytes.at(at(offset)); }
  std::string str(std::uint32_t offset) const {
    if (offset == 0) return "<none>";
    std::string s;
    for (std::size_t i = at(offset); bytes.at(i) != 0; ++i) s += char(bytes[i]);
    return s;
  }
};

Container demoContainer() {
  using namespace platform;
  HRSRC res = FindResourceA(GetModuleHandleA(nullptr), "kestr001_rsc", "dabdump");
  EXPECT_NE(res, nullptr);
  Container c;
  if (!res) return c;
  const auto* p = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, res)));
  c.bytes.assign(p, p + SizeofResource(nullptr, res));
  while (c.bytes.at(c.bodyStart) != 0) ++c.bodyStart;
  ++c.bodyStart;
  return c;
}

struct Row {
  std::int32_t field;
  std::string label;
  std::uint8_t kind;
  std::string text;
  std::string message;
  std::uint32_t action;
};

// The demo window's controls in definition order (menu bar depth-first, then the controls).
const std::vector<Row> kDemoTable = {
    {1, "?MENUBAR", 0x16, "-", "-", 0},
    {2, "?FILEMENU", 0x13, "&File", "-", 0},
    {3, "?FILEITEM13", 0x14, "P&rint...", "<none>", 0},
    {4, "?PRINTSETUP", 0x14, "&Print Setup ...", "Setup printer", 16},
    {5, "?FILESAVE", 0x14, "&Save", "<none>", 0},
    {6, "?FILEEXPORT", 0x14, "&Export", "<none>", 0},
    {7, "?FILELOADEXCELBOOK", 0x14, "&Load Excel Book", "<none>", 0},
    {0, "<none>", 0x14, "<none>", "<none>", 0},
    {8, "?EXIT", 0x14, "E&xit", "Exit this application", 15},
    {9, "?EDITMENU", 0x13, "&Edit", "-", 0},
    {10, "?EDITCLEAR", 0x14, "C&lear", "<none>", 0},
    {0, "<none>", 0x14, "<none>", "<none>", 0},
    {11, "?CUT", 0x14, "Cu&t", "Remove item to Windows Clipboard", 10},
    {12, "?COPY", 0x14, "&Copy", "Copy item to Windows Clipboard", 11},
    {13, "?PASTE", 0x14, "&Paste", "Paste contents of Windows Clipboard", 12},
    {14, "?TOOLS", 0x13, "&Tools", "-", 0},
    {15, "?INSERTIMAGE", 0x14, "&Insert Image", "<none>", 0},
    {16, "?HELPMENU", 0x13, "&Help", "-", 0},
    {17, "?HELPINDEX", 0x14, "&Contents", "View the contents of the help file", 5},
    {18, "?HELPSEARCH", 0x14, "&Search for Help On...", "Search for help on a subject", 7},
    {19, "?HELPONHELP", 0x14, "&How to Use Help", "How to use Windows Help", 6},
    {20, "?SPREAD", 0x20, "-", "-", 0},
    {21, "?CANCEL", 0x09, "Close", "-", 0},
};

// Walks a chain of control records depth-first through the child words of menu bars and menus.
void collect(const Container& c, std::uint32_t at, std::vector<Row>& rows, std::vector<std::uint32_t>& offsets) {
  for (; at != 0; at = c.u32(at + 0x01)) {
    const std::uint8_t kind = c.u8(at);
    Row r{std::int32_t(c.u32(at + 0x0D)), c.str(c.u32(at + 0x11)), kind, "-", "-", 0};
    if (kind == 0x13 || kind == 0x14) r.text = c.str(c.u32(at + 0x19));
    if (kind == 0x14) r.message = c.str(c.u32(at + 0x2D)), r.action = c.u32(at + 0x4D);
    if (kind == 0x09) r.text = c.str(c.u32(at + 0x45));
    rows.push_back(r);
    offsets.push_back(at);
    if (kind == 0x16) collect(c, c.u32(at + 0x15), rows, offsets);
    if (kind == 0x13) collect(c, c.u32(at + 0x59), rows, offsets);
  }
}

TEST(DemoDefinitionBytes, WindowRecordMatchesTheDemoWindow) {
  const Container c = demoContainer();
  ASSERT_GT(c.bodyStart, 0u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(c.bytes.data())), "Kestrel24$Kestr001");
  // The first-window word opens the body, that is at definition offset 2.
  const std::uint32_t w = c.u32(2);
  EXPECT_EQ(c.u8(w), 0x19);
  EXPECT_EQ(c.u32(w + 0x01), 0u) << "one window in the module";
  EXPECT_EQ(c.u32(w + 0x05), 0x810u);
  EXPECT_EQ(c.u32(w + 0x0D), 0x80000000u);
  EXPECT_EQ(c.u32(w + 0x11), 0x80000000u);
  EXPECT_EQ(c.u32(w + 0x15), 536u);
  EXPECT_EQ(c.u32(w + 0x19), 358u);
  EXPECT_EQ(c.str(c.u32(w + 0x21)), "P1$WINDOW");
  EXPECT_EQ(c.str(c.u32(w + 0x29)), "Ostrevane Spread DEMO");
  EXPECT_EQ(c.u32(w + 0x52), 0x3820u);
  const std::uint32_t font = c.u32(w + 0x25);
  EXPECT_EQ(c.str(c.u32(font)), "MS Sans Serif");
  EXPECT_EQ(c.u8(font + 4), 8);
  EXPECT_EQ(c.u8(font + 5), 0);
  EXPECT_EQ(c.u32(font + 8), 0xFFFFFFFFu);
  EXPECT_EQ(c.u32(font + 12), 400u);
  // The font's face name follows its record in the pool.
  EXPECT_EQ(c.u32(font), font + 16);
}

TEST(DemoDefinitionBytes, ControlRecordsMatchTheDemoTable) {
  const Container c = demoContainer();
  ASSERT_GT(c.bodyStart, 0u);
  const std::uint32_t w = c.u32(2);
  std::vector<Row> rows;
  std::vector<std::uint32_t> offsets;
  collect(c, c.u32(w + 0x5E), rows, offsets);
  collect(c, c.u32(w + 0x1D), rows, offsets);
  ASSERT_EQ(rows.size(), kDemoTable.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i) + " " + kDemoTable[i].label);
    EXPECT_EQ(rows[i].field, kDemoTable[i].field);
    EXPECT_EQ(rows[i].label, kDemoTable[i].label);
    EXPECT_EQ(rows[i].kind, kDemoTable[i].kind);
    EXPECT_EQ(rows[i].text, kDemoTable[i].text);
    EXPECT_EQ(rows[i].message, kDemoTable[i].message);
    EXPECT_EQ(rows[i].action, kDemoTable[i].action);
    if (kDemoTable[i].field == 0) {
      EXPECT_EQ(c.u32(offsets[i] + 0x05), 0x10u) << "separator attribute";
    }
    // Depth-first with pools ahead: each record follows the previous one and its own strings.
    if (i > 0) {
      EXPECT_GT(offsets[i], offsets[i - 1]);
    }
    if (rows[i].label != "<none>") {
      EXPECT_LT(c.u32(offsets[i] + 0x11), offsets[i]);
    }
  }
  const std::uint32_t ole = offsets[21], close = offsets[22];
  const std::uint32_t olePos[] = {c.u32(ole + 0x19), c.u32(ole + 0x1D), c.u32(ole + 0x21), c.u32(ole + 0x25)};
  const std::uint32_t closePos[] = {c.u32(close + 0x15), c.u32(close + 0x19), c.u32(close + 0x1D), c.u32(close + 0x21)};
  EXPECT_EQ(std::vector<std::uint32_t>(olePos, olePos + 4), (std::vector<std::uint32_t>{3, 4, 528, 329}));
  EXPECT_EQ(std::vector<std::uint32_t>(closePos, closePos + 4), (std::vector<std::uint32_t>{487, 341, 45, 14}));
}

TEST(DemoDefinitionBytes, OffsetsCountFromTwoBytesBeforeTheBody) {
  const Container c = demoContainer();
  ASSERT_GT(c.bodyStart, 0u);
  const std::uint32_t label = c.u32(c.u32(2) + 0x21);
  // Read as body positions, the same offset lands two bytes past the label's start.
  const std::string asBodyPosition(reinterpret_cast<const char*>(c.bytes.data() + c.bodyStart + label));
  EXPECT_EQ(c.str(label), "P1$WINDOW");
  EXPECT_EQ(asBodyPosition, "$WINDOW");
}

}  // namespace
