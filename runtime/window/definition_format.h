// The binary layout of window definition containers: one container per source module holds every
// window of that module as a tree of packed little-endian records. The reader, the writer and the
// resource compiler's dump all walk the same table of record layouts below, so a field's offset is
// written down exactly once.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tamsil::window {

// Offsets stored in a container are "definition offsets": offset v names body byte v - 2, where the
// body is everything after the module name's NUL. The runtime copies the body to position 2 of its
// buffer, so there an offset is simply a buffer position. 0 means "none".
constexpr std::uint32_t kBodyBias = 2;
constexpr std::uint32_t kNoOffset = 0;
constexpr std::uint32_t kFirstWindowWord = kBodyBias;  // the first-window word opens the body

constexpr std::string_view kResourceType = "DABDUMP";
constexpr std::string_view kResourceSuffix = "_RSC";

// Fixed-size pool items.
constexpr std::uint32_t kFontRecordSize = 16;      // face offset, size, charset, 0, colour, weight
constexpr std::uint32_t kColorTripleSize = 12;     // three colour values for slots 0, 1 and 2
constexpr std::uint32_t kVariableBindingSize = 9;  // type code, size, seven zero bytes
constexpr std::uint32_t kAlertPairSize = 8;        // key code, offset of the next pair
constexpr std::uint32_t kBlockASize = 20;          // alt message, message, help, attributes, alerts
constexpr std::uint32_t kPositionSize = 16;        // x, y, width, height
constexpr std::uint32_t kControlHeaderSize = 21;   // kind, next, attributes, 0, field, label

// FontRecord field offsets.
constexpr std::uint32_t kFontFace = 0, kFontSize = 4, kFontCharset = 5, kFontColour = 8, kFontWeight = 12;
// Block A field offsets.
constexpr std::uint32_t kBlockAltMessage = 0, kBlockMessage = 4, kBlockHelp = 8, kBlockAttributes = 12, kBlockAlertKeys = 16;

constexpr std::int32_t kDefaultPosition = INT32_MIN;  // 0x80000000: let the platform choose
constexpr std::uint32_t kDefaultColour = 0xFFFFFFFF;  // font colour: the platform's default
constexpr std::uint32_t kDefaultFontWeight = 400;

// Attribute bits with a settled meaning. Attribute words stay numbers: the definition stores them.
enum AttributeBit : std::uint32_t {
  kControlHidden = 0x1,           // control: hidden until the program shows it
  kCheckTextLeft = 0x4,           // check box: text left of the box
  kItemSeparator = 0x10,          // menu item: a separator line
  kTextRich = 0x40,               // text: holds rich text (a TslRTF control in place of TslText)
  kListDrop = 0x40,               // list: drops down (a TslDrop control in place of TslList)
  kFrameAttributeMask = 0x300,    // application frame: the bits it honours
  kWindowMoveSizeEvents = 0x800,  // window: deliver move and size events
};
// Bits of a window's state word, stored with the definition and kept up to date at run time.
enum StateBit : std::uint32_t {
  kStateMaximized = 0x4000,
  kStateMinimized = 0x8000,
  kStateSizeBits = kStateMaximized | kStateMinimized,
};

// Record kinds. Windows are 0x19 (0x1A, the application frame, is read with the same layout).
enum class Kind : std::uint8_t {
  StringVar = 0x01,
  String = 0x02,
  Image = 0x03,
  Line = 0x05,
  Box = 0x06,
  Entry = 0x08,
  Button = 0x09,
  Prompt = 0x0A,
  Option = 0x0B,
  Check = 0x0C,
  Group = 0x0D,
  List = 0x0E,
  Spin = 0x10,  // no settled layout; built as an entry, read with the ENTRY layout
  Text = 0x11,
  Menu = 0x13,
  Item = 0x14,
  Radio = 0x15,
  MenuBar = 0x16,
  Window = 0x19,
  Frame = 0x1A,
  Ole = 0x20,
  Combo = 0x21,     // no settled layout; built as a drop list from its header
  DropList = 0x22,  // no settled layout; built as a drop list from its header
  Sheet = 0x25,
  Tab = 0x26,
  Panel = 0x27,
};

// A field of a record. The text slots (Label .. Icon) hold the offset of a NUL-terminated string.
enum class Slot : std::uint8_t {
  Label,
  Text,
  Picture,
  Format,
  Cursor,
  Message,
  Value,
  Title,
  Icon,  // strings
  Next,
  Attributes,
  Field,
  Action,
  State,    // 32-bit numbers
  Pos,      // four signed words
  BlockA,   // the 20-byte block A
  Font,     // offset of a FontRecord
  Colours,  // offset of a ColorTriple
  Var,      // offset of a VariableBinding
  Child,    // offset of the first contained record (a window's first control)
  MenuBar,  // window: offset of its MENUBAR record
};
constexpr std::size_t kTextSlotCount = std::size_t(Slot::Icon) + 1;
constexpr bool isTextSlot(Slot s) { return s <= Slot::Icon; }
constexpr std::uint32_t slotWidth(Slot s) { return s == Slot::Pos ? kPositionSize : s == Slot::BlockA ? kBlockASize : 4; }

struct SlotAt {
  Slot slot;
  std::uint8_t offset;
};

// Where each field of one record kind lives. Bytes covered by no slot are attribute fields whose
// meaning is unsettled; writers leave them at the kind's fill (zero except where fill says).
struct RecordLayout {
  Kind kind;
  std::string_view keyword;  // the name used in definition sources and dumps
  std::uint8_t length;
  bool isWindow;
  std::span<const SlotAt> slots;  // ascending offsets
  std::uint8_t fillOffset = 0;    // a 32-bit word that is all ones in every record of the kind
  bool hasFill = false;

  const SlotAt* find(Slot s) const {
    for (const SlotAt& a : slots)
      if (a.slot == s) return &a;
    return nullptr;
  }
  bool has(Slot s) const { return find(s) != nullptr; }
};

// The layout of a kind, or nullptr for kinds without one.
const RecordLayout* layoutOf(std::uint8_t kind);
// Kinds that the window builder dispatches on but whose layout beyond the common control header is
// not settled; the reader accepts them with their header only.
bool isHeaderOnlyKind(std::uint8_t kind);
// The layout those kinds are read with: the control header alone.
const RecordLayout& headerOnlyLayout();
// Every layout, in kind order (for the compiler's keyword lookup).
std::span<const RecordLayout> allLayouts();

}  // namespace tamsil::window
