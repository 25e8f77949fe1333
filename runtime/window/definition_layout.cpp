// The record layout table. Offsets are from the record's first byte; every control record begins
// with the same 21-byte header (kind, next, attributes, a zero word, field number, use label).
#include <array>

#include "runtime/window/definition_format.h"

namespace tamsil::window {
namespace {

using S = Slot;

#define HEADER \
  {S::Next, 0x01}, {S::Attributes, 0x05}, {S::Field, 0x0D}, { S::Label, 0x11 }

constexpr SlotAt kWindow[] = {{S::Next, 0x01},  {S::Attributes, 0x05}, {S::Pos, 0x0D},     {S::Child, 0x1D}, {S::Label, 0x21},
                              {S::Font, 0x25},  {S::Title, 0x29},      {S::Colours, 0x35}, {S::Icon, 0x3A},  {S::BlockA, 0x3E},
                              {S::State, 0x52}, {S::MenuBar, 0x5E},    {S::Cursor, 0x66}};
constexpr SlotAt kStringVar[] = {HEADER,          {S::Var, 0x15},    {S::Pos, 0x19},    {S::Picture, 0x2D},
                                 {S::Font, 0x31}, {S::Cursor, 0x3E}, {S::Colours, 0x42}};
constexpr SlotAt kString[] = {HEADER, {S::Pos, 0x15}, {S::Text, 0x29}, {S::Font, 0x2D}, {S::Cursor, 0x31}, {S::Colours, 0x35}};
constexpr SlotAt kImage[] = {HEADER, {S::Pos, 0x15}, {S::Cursor, 0x29}};
constexpr SlotAt kShape[] = {HEADER, {S::Pos, 0x15}, {S::Colours, 0x25}};  // LINE, BOX, PANEL
constexpr SlotAt kEntry[] = {HEADER,          {S::Var, 0x15},    {S::Pos, 0x19},     {S::BlockA, 0x29},
                             {S::Font, 0x3D}, {S::Cursor, 0x41}, {S::Colours, 0x45}, {S::Picture, 0x49}};
constexpr SlotAt kButton[] = {HEADER,         {S::Pos, 0x15}, {S::BlockA, 0x25}, {S::Font, 0x39}, {S::Cursor, 0x3D}, {S::Colours, 0x41},
                              {S::Text, 0x45}};
constexpr SlotAt kOption[] = {HEADER, {S::Var, 0x15}, {S::Pos, 0x19}, {S::Text, 0x49}, {S::Child, 0x4D}};
constexpr SlotAt kCheck[] = {HEADER,          {S::Var, 0x15},    {S::Pos, 0x19},     {S::BlockA, 0x29},
                             {S::Font, 0x3D}, {S::Cursor, 0x41}, {S::Colours, 0x45}, {S::Text, 0x49}};
constexpr SlotAt kGroup[] = {HEADER, {S::Pos, 0x15}, {S::Text, 0x45}, {S::Child, 0x49}};
constexpr SlotAt kList[] = {HEADER,          {S::Format, 0x19}, {S::Pos, 0x1D},    {S::BlockA, 0x2D},
                            {S::Font, 0x41}, {S::Cursor, 0x45}, {S::Colours, 0x49}};
constexpr SlotAt kText[] = {HEADER, {S::Pos, 0x19}, {S::BlockA, 0x29}, {S::Font, 0x3D}, {S::Cursor, 0x41}, {S::Colours, 0x45}};
constexpr SlotAt kMenu[] = {HEADER, {S::Text, 0x19}, {S::Pos, 0x1D}, {S::Child, 0x59}};
constexpr SlotAt kItem[] = {HEADER, {S::Text, 0x19}, {S::Pos, 0x1D}, {S::Message, 0x2D}, {S::Action, 0x4D}};
constexpr SlotAt kRadio[] = {HEADER,          {S::Pos, 0x15},  {S::BlockA, 0x25}, {S::Font, 0x39}, {S::Cursor, 0x3D}, {S::Colours, 0x41},
                             {S::Text, 0x45}, {S::Value, 0x4D}};
constexpr SlotAt kMenuBar[] = {HEADER, {S::Child, 0x15}, {S::Pos, 0x19}};
constexpr SlotAt kOle[] = {HEADER, {S::Pos, 0x19}};
constexpr SlotAt kSheet[] = {HEADER, {S::Pos, 0x19}, {S::Child, 0x4D}};
constexpr SlotAt kTab[] = {HEADER, {S::Text, 0x33}};
constexpr SlotAt kHeaderOnly[] = {HEADER};

#undef HEADER

constexpr std::array kLayouts = {
    RecordLayout{Kind::StringVar, "stringvar", 81, false, kStringVar},
    RecordLayout{Kind::String, "string", 64, false, kString},
    RecordLayout{Kind::Image, "image", 51, false, kImage},
    RecordLayout{Kind::Line, "line", 50, false, kShape},
    RecordLayout{Kind::Box, "box", 50, false, kShape},
    RecordLayout{Kind::Entry, "entry", 84, false, kEntry},
    RecordLayout{Kind::Button, "button", 96, false, kButton},
    RecordLayout{Kind::Prompt, "prompt", 64, false, kString},
    RecordLayout{Kind::Option, "option", 92, false, kOption},
    RecordLayout{Kind::Check, "check", 98, false, kCheck},
    RecordLayout{Kind::Group, "group", 88, false, kGroup},
    RecordLayout{Kind::List, "list", 114, false, kList, 0x69, true},
    RecordLayout{Kind::Text, "text", 88, false, kText},
    RecordLayout{Kind::Menu, "menu", 93, false, kMenu},
    RecordLayout{Kind::Item, "item", 89, false, kItem},
    RecordLayout{Kind::Radio, "radio", 86, false, kRadio},
    RecordLayout{Kind::MenuBar, "menubar", 73, false, kMenuBar},
    RecordLayout{Kind::Window, "window", 117, true, kWindow},
    RecordLayout{Kind::Frame, "frame", 117, true, kWindow},
    RecordLayout{Kind::Ole, "ole", 105, false, kOle},
    RecordLayout{Kind::Sheet, "sheet", 97, false, kSheet},
    RecordLayout{Kind::Tab, "tab", 64, false, kTab},
    RecordLayout{Kind::Panel, "panel", 56, false, kShape},
};

constexpr std::uint8_t kHeaderOnlyKinds[] = {0x04, 0x07, 0x0F, 0x10, 0x12, 0x21, 0x22, 0x23, 0x28};

// Every slot lies inside its record, slots ascend without overlapping, and the fill word is free.
constexpr bool wellFormed(const RecordLayout& l) {
  std::uint32_t end = 1;  // byte 0 is the kind
  for (const SlotAt& a : l.slots) {
    if (a.offset < end) return false;
    end = a.offset + slotWidth(a.slot);
  }
  if (end > l.length) return false;
  return !l.hasFill || (l.fillOffset >= end && l.fillOffset + 4u <= l.length);
}
constexpr bool allWellFormed() {
  for (const RecordLayout& l : kLayouts)
    if (!wellFormed(l)) return false;
  return true;
}
static_assert(allWellFormed(), "a record layout has overlapping or out-of-record fields");
constexpr std::uint8_t lengthOf(Kind kind) {
  for (const RecordLayout& l : kLayouts)
    if (l.kind == kind) return l.length;
  return 0;
}
static_assert(lengthOf(Kind::Window) == 117 && lengthOf(Kind::Frame) == 117);
static_assert(kBlockASize == 20 && kFontRecordSize == 16 && kVariableBindingSize == 9);

}  // namespace

const RecordLayout* layoutOf(std::uint8_t kind) {
  for (const RecordLayout& l : kLayouts)
    if (std::uint8_t(l.kind) == kind) return &l;
  return nullptr;
}

bool isHeaderOnlyKind(std::uint8_t kind) {
  for (std::uint8_t k : kHeaderOnlyKinds)
    if (k == kind) return true;
  return false;
}

// A header-only layout used for the unsettled kinds.
const RecordLayout& headerOnlyLayout() {
  static constexpr RecordLayout layout{Kind(0), "", kControlHeaderSize, false, kHeaderOnly};
  return layout;
}

std::span<const RecordLayout> allLayouts() { return kLayouts; }

}  // namespace tamsil::window
