// The value stack: every runtime operation that takes or gives a text passes it through the
// calling thread's stack of 32 entries. A caller pushes its operands, calls the operation and
// takes the result off the top. Numbers travel as their decimal text; texts from the component
// world stay wide strings or variants until somebody needs them as single-byte text.
//
// Entries are cheap: a text of up to 24 bytes lives in the entry itself, a borrowed text (one
// that points at the caller's memory) is not copied unless an operation must keep it, and an
// entry frees what it owns when it is released.
//
// Misuse (a push on a full stack, a take from an empty one, a peek below the bottom, a thread
// without a ThreadContext, a negative InList count) is an internal fault that ends the program.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/com/bstr.h"
#include "platform/com/variant.h"

namespace tamsil {

enum class EntryForm : std::uint8_t {
  Text,     // single-byte characters at an address
  Fill,     // one character repeated `length` times, not stored
  Wide,     // a BSTR
  Variant,  // a VARIANT
};

enum class EntryStorage : std::uint8_t {
  Borrowed,  // points at the caller's memory (text, BSTR or VARIANT)
  Owned,     // owns a heap text, a BSTR or a VARIANT, released with the entry
  Inline,    // the text lives in the entry's own buffer
};

class StackEntry {
 public:
  static constexpr std::size_t kInlineSize = 24;

  StackEntry() = default;
  ~StackEntry() { release(); }
  StackEntry(StackEntry&& other) noexcept;
  StackEntry& operator=(StackEntry&& other) noexcept;
  StackEntry(const StackEntry&) = delete;
  StackEntry& operator=(const StackEntry&) = delete;

  EntryForm form = EntryForm::Text;
  EntryStorage storage = EntryStorage::Borrowed;
  std::uint32_t capacity = 0;  // bytes of an owned heap text
  // Text: bytes counted from `address` (Borrowed, Owned) or from the buffer (Inline). A Text with
  // a null address and a non-zero length is an extreme key value: positive the highest, negative
  // the lowest. Fill: the repeat count.
  std::int32_t length = 0;
  const char* address = nullptr;                       // Text, Borrowed or Owned (a runtime heap block)
  char fill = ' ';                                     // Fill
  platform::BSTR wide = nullptr;                       // Wide
  const platform::VARIANT* borrowedVariant = nullptr;  // Variant, Borrowed
  platform::VARIANT ownVariant;                        // Variant, Owned
  char buffer[kInlineSize] = {};

  // The bytes of a Text entry; empty for a null address, whatever the length.
  std::string_view text() const;
  // The variant of a Variant entry.
  const platform::VARIANT& variant() const;
  // Whether this is a null-address text standing for the highest (> 0) or lowest (< 0) value.
  bool isExtreme() const { return form == EntryForm::Text && !address && storage != EntryStorage::Inline && length != 0; }

  // Frees owned storage and makes the entry the empty text.
  void release();

  // Replaces the entry by an owned copy of `bytes` (Inline when it fits). An allocation failure
  // leaves the empty text. `bytes` may point into the entry itself.
  void setText(std::string_view bytes);
  // Makes the entry an owned text of `size` bytes and returns where to write them; null (and the
  // empty text) when memory runs out. For building results in a fresh entry.
  char* makeText(std::size_t size);
  // Narrows a Text entry to `count` bytes from `offset` without copying where it can.
  void narrow(std::size_t offset, std::size_t count);
};

class ValueStack {
 public:
  static constexpr int kCapacity = 32;

  ValueStack();

  StackEntry& Reserve();        // the next free entry, cleared
  StackEntry Take();            // removes the top entry
  StackEntry& Peek(int depth);  // 0 is the top
  int count() const { return count_; }
  platform::DWORD owner() const { return owner_; }

 private:
  std::array<StackEntry, kCapacity> entries_;
  int count_ = 0;
  platform::DWORD owner_ = 0;
};

// The calling thread's stack, made on first use.
ValueStack& threadValueStack();

// Entry primitives.
void FreeEntry(StackEntry& entry);
void AsText(StackEntry& entry);               // to Text form (see value_stack.cpp for the rules)
void AsWide(StackEntry& entry);               // to an owned Wide form (Text and Fill from ANSI)
void Own(StackEntry& entry, std::int32_t n);  // a borrowed entry made independent; n -1 = all

// Pushes.
void PushText(const char* address, std::int32_t length);   // borrowed; null: the empty text
void PushZeroText(const char* address);                    // up to the NUL, then owned
void PushOwnedText(char* heapBlock, std::int32_t length);  // a runtime heap block the stack frees
void PushExtreme(bool highest);                            // the null-address text of the highest or lowest key value
void PushFill(char fill, std::int32_t length);
void PushLong(std::int32_t value);
void PushReal(double value);
void PushWide(platform::Bstr wide);  // owned
void PushBorrowedWide(platform::BSTR wide);
void PushVariant(platform::Variant variant);  // owned
void PushBorrowedVariant(const platform::VARIANT* variant);

// Pops into program variables.
void PopToString(char* destination, std::size_t size);
void PopToZeroText(char* destination, std::size_t size);
void PopToLengthText(unsigned char* destination, std::size_t size);
double PopToReal();
std::int32_t PopToLong();
void Drop();

// Operations on the top entries.
std::int32_t CompareTop();
std::int32_t CompareTopReversed();
std::uint8_t TextsDiffer();
std::int32_t ComparePrefix();
std::int32_t InList(std::int32_t n);
void Concatenate();
std::int32_t InString(std::int32_t step, std::int32_t start);

// Text functions replacing the top entry.
void ClipTop();
void JustifyTop(int mode, std::int32_t width);
void SubTop(std::int32_t start, std::int32_t length);
void RepeatTop(std::int32_t length);
void UpperTop();
void LowerTop();

}  // namespace tamsil
