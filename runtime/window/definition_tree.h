// A window and everything it contains, decoded and checked in one pass. The window builder and the
// resource compiler's dump both need the whole tree; checking it up front means a corrupt
// definition is reported before any platform window exists, never half-way through building one.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/window/definition_reader.h"

namespace tamsil::window {

// Controls nest through GROUP, OPTION, SHEET, MENUBAR and MENU records; real windows stay far below
// this depth, and the bound keeps a hostile container from exhausting the stack.
constexpr int kMaxNesting = 32;

struct RecordNode {
  DefinitionRecord record;
  std::vector<RecordNode> children;  // the chain from the record's child offset
};

struct WindowTree {
  DefinitionRecord window;
  std::optional<RecordNode> menuBar;  // from the window's menu bar offset
  std::vector<RecordNode> controls;   // the chain from the window's first-control offset
  // The lowest and highest non-zero field number among all records of the window (menus and items
  // included); both 0 when there is none.
  std::int32_t lowestField = 0;
  std::int32_t highestField = 0;
};

// Decodes the window at offset and every record reachable from it. Every record is reached at
// most once: a chain or child offset that returns to a record already seen is a Cycle. A non-zero
// field number stands on one record of the window only (DuplicateField).
Result<WindowTree> readWindowTree(const DefinitionReader& reader, std::uint32_t windowOffset);

// Checks a whole container: its module name, window chain and every window tree.
Result<Done> checkContainer(std::span<const std::uint8_t> resource);

}  // namespace tamsil::window
