// A bounds-checked view over a window definition container. Containers arrive from resources and
// files the program does not control, so every offset is checked before it is followed and every
// fault comes back as a DefinitionError; no input makes the reader read outside its bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "runtime/heap/heap_allocator.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/definition_result.h"

namespace tamsil::window {

struct Position {
  std::int32_t x = kDefaultPosition, y = kDefaultPosition;
  std::int32_t width = kDefaultPosition, height = kDefaultPosition;
  bool operator==(const Position&) const = default;
};

struct FontRecord {
  std::string_view face;
  std::uint8_t size = 0;
  std::uint8_t charset = 0;
  std::uint32_t colour = kDefaultColour;
  std::uint32_t weight = kDefaultFontWeight;
};

struct ColorTriple {
  std::array<std::uint32_t, 3> slot{};
  bool operator==(const ColorTriple&) const = default;
};

struct VariableBinding {
  std::uint8_t type = 0;  // data type code of the bound variable
  std::uint8_t size = 0;  // its size in bytes
};

struct BlockA {
  std::optional<std::string_view> altMessage, message, help;
  std::uint32_t attributes = 0;
  std::vector<std::uint32_t> alertKeys;  // key codes in list order
};

// One decoded window or control record. Which members carry data is told by layout->has(slot);
// strings are views into the reader's bytes.
struct DefinitionRecord {
  std::uint32_t offset = 0;
  std::uint8_t kind = 0;
  const RecordLayout* layout = nullptr;
  std::uint32_t next = 0, attributes = 0, action = 0, state = 0, child = 0, menuBar = 0;
  std::int32_t field = 0;
  std::array<std::optional<std::string_view>, kTextSlotCount> texts;
  Position pos;
  std::optional<FontRecord> font;
  std::optional<ColorTriple> colours;
  std::optional<VariableBinding> var;
  BlockA blockA;
  std::span<const std::uint8_t> bytes;  // the record itself

  std::optional<std::string_view> text(Slot s) const { return texts[std::size_t(s)]; }
  bool isWindow() const { return layout && layout->isWindow; }
};

// The container as stored: the module name and the body that follows its NUL.
struct Container {
  std::string_view moduleName;
  std::span<const std::uint8_t> body;
};
Result<Container> parseContainer(std::span<const std::uint8_t> resource);

// The runtime's definition buffer: two bytes (the first 0) followed by the body, so that a
// definition offset is a position in it. It lives on the runtime's heap.
using DefinitionBuffer = HeapVector<std::uint8_t>;
DefinitionBuffer makeDefinitionBuffer(std::span<const std::uint8_t> body);

// Reads a definition buffer (see makeDefinitionBuffer). The reader does not own the bytes.
class DefinitionReader {
 public:
  explicit DefinitionReader(std::span<const std::uint8_t> buffer) : buf_(buffer) {}

  Result<std::uint32_t> firstWindow() const;
  // The offsets of every window in chain order; a cycle is an error.
  Result<std::vector<std::uint32_t>> windowOffsets() const;
  // The window with the label (compared without case), or LabelNotFound.
  Result<std::uint32_t> findWindow(std::string_view label) const;

  // Decodes the record at offset by its kind; header-only kinds decode their header.
  Result<DefinitionRecord> record(std::uint32_t offset) const;
  // Decodes the record at offset with a given layout, whatever its kind byte says (a builder
  // may read a kind of unsettled layout like one it resembles).
  Result<DefinitionRecord> record(std::uint32_t offset, const RecordLayout& layout) const;
  // Decodes a record that must be a window.
  Result<DefinitionRecord> window(std::uint32_t offset) const;

  Result<std::uint32_t> u32(std::uint32_t offset) const;
  Result<std::string_view> string(std::uint32_t offset) const;
  Result<FontRecord> font(std::uint32_t offset) const;
  Result<ColorTriple> colours(std::uint32_t offset) const;
  Result<VariableBinding> binding(std::uint32_t offset) const;
  Result<std::vector<std::uint32_t>> alertKeys(std::uint32_t offset) const;

  std::span<const std::uint8_t> bytes() const { return buf_; }

 private:
  Result<std::span<const std::uint8_t>> range(std::uint32_t offset, std::uint32_t length, std::string_view what) const;
  Result<BlockA> blockA(std::span<const std::uint8_t> at) const;
  Result<std::optional<std::string_view>> optionalString(std::uint32_t offset) const;

  std::span<const std::uint8_t> buf_;
};

// Case-blind comparison used for module names and window labels.
bool sameName(std::string_view a, std::string_view b);

}  // namespace tamsil::window
