// Writes window definition containers from an in-memory description; the resource compiler fills
// the description from a source file. The layout follows the record table of definition_format.h:
// each record is preceded by the pool items only it uses (its strings in field order, its font
// record and face name, its colours, its variable binding, its alert key pairs), and a window's
// records follow it depth-first: the menu bar tree, then the controls in chain order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/window/definition_format.h"
#include "runtime/window/definition_reader.h"

namespace tamsil::window {

struct FontDef {
  std::string face;
  std::uint8_t size = 0;
  std::uint8_t charset = 0;
  std::uint32_t colour = kDefaultColour;
  std::uint32_t weight = kDefaultFontWeight;
};

struct BlockADef {
  std::optional<std::string> altMessage, message, help;
  std::uint32_t attributes = 0;
  std::vector<std::uint32_t> alertKeys;
};

// Bytes for a record's unnamed attribute fields, at an offset from the record start.
struct RawBytes {
  std::uint8_t offset = 0;
  std::vector<std::uint8_t> bytes;
};

// One window or control. Members whose slot the layout lacks are ignored.
struct RecordDef {
  const RecordLayout* layout = nullptr;  // never header-only: the writer needs the full layout
  std::uint32_t attributes = 0, action = 0, state = 0;
  std::int32_t field = 0;
  std::array<std::optional<std::string>, kTextSlotCount> texts;  // no NUL inside
  Position pos;
  std::optional<FontDef> font;
  std::optional<ColorTriple> colours;
  std::optional<VariableBinding> var;
  BlockADef blockA;
  std::vector<RawBytes> raw;  // inside the record, clear of every slot
  // Contained records in chain order. A window's children are its controls plus at most one
  // MENUBAR record, which goes to the window's menu bar offset instead of the control chain.
  std::vector<RecordDef> children;
};

struct ModuleDef {
  std::string name;  // no NUL inside
  std::vector<RecordDef> windows;
};

// The bytes of a container: module name, NUL, first-window word, pools and records.
std::vector<std::uint8_t> writeContainer(const ModuleDef& module);

// A record of the kind as the writer lays it down before any slot is filled: zeros, with the
// kind byte and the kind's fill word. The dump compares unnamed bytes against this.
std::vector<std::uint8_t> blankRecord(const RecordLayout& layout);

}  // namespace tamsil::window
