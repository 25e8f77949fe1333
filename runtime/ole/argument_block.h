// The arguments of one automation call, converted from their texts in a member path: up to 32
// VARIANTs in call order, the program variables passed by reference as text (copied back after
// the call), the named arguments' DISPIDs, and the DISPPARAMS built from them (last argument
// first, named arguments before positional ones, as the platform requires).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/variant.h"
#include "runtime/eval/binding.h"
#include "runtime/ole/member_path.h"

namespace tamsil::ole {

// The hints that change a conversion; compared without case on their first characters only
// ("integer" is Int, "boolean" is Bool).
enum class Hint : std::uint8_t { None, Bool, Variant, String, Int };
Hint hintOf(std::string_view hint);

// Why an argument could not be converted; the runtime error code the bridge sets for it.
enum class ArgumentFault : int {
  None = 0,
  UnboundName = 1013,    // "&name" for a name that is not bound
  BadReference = 10001,  // "`number" that names no live object
  TooMany = -1,          // more arguments than a block holds (never from a parsed path)
};

// The storage type of a variable that has no value (travels as VT_VOID).
inline constexpr std::uint8_t kVoidStorageType = 0x1F;

// The VARIANT type a bound variable of this storage type travels as (by value or by reference).
platform::VARTYPE variantTypeOf(StorageType type, Hint hint);

// Converts one argument's text to a VARIANT by its first character and its hint.
ArgumentFault convertArgument(const PathArgument& argument, platform::VARIANT& out);

// Stores a text into a program variable: numbers as the text reads (0 when it is none), texts
// blank-padded, zero-terminated or length-prefixed within their size; dates and times are left
// alone.
void storeText(const BoundVariable& variable, std::string_view text);

// The value of a typed program variable (a storage type code, 0x13 for a zero-terminated text)
// as a VARIANT of the type the variable-type table gives. False for a variable that cannot be
// read (no address).
bool typedVariant(std::uint8_t type, const void* address, size_t size, platform::VARIANT& out);

// A list of at most N entries kept inside its owner: an argument block is made for every call,
// and allocating its lists would cost more than the call.
template <class T, size_t N>
class FixedList {
 public:
  T& push_back(const T& value) {
    items_[size_] = value;
    return items_[size_++];
  }
  void clear() { size_ = 0; }
  size_t size() const { return size_; }
  bool full() const { return size_ == N; }
  T* data() { return items_.data(); }
  T& operator[](size_t i) { return items_[i]; }
  const T& operator[](size_t i) const { return items_[i]; }
  T* begin() { return items_.data(); }
  T* end() { return items_.data() + size_; }
  const T* begin() const { return items_.data(); }
  const T* end() const { return items_.data() + size_; }

 private:
  std::array<T, N> items_{};
  size_t size_ = 0;
};

class ArgumentBlock {
 public:
  ArgumentBlock() = default;
  ArgumentBlock(const ArgumentBlock&) = delete;
  ArgumentBlock& operator=(const ArgumentBlock&) = delete;
  ~ArgumentBlock();

  // Adds an argument converted from its text; `named` is its DISPID for a named argument,
  // DISPID_UNKNOWN for a positional one. On a fault the argument is added empty.
  ArgumentFault add(const PathArgument& argument, platform::DISPID named = platform::DISPID_UNKNOWN);
  // Adds the value of a property write (the named argument DISPID_PROPERTYPUT); takes it over.
  void addPropertyValue(platform::VARIANT value);
  // The parameters for Invoke, valid until the block changes.
  platform::DISPPARAMS* params();
  // Copies texts passed by reference back into their variables.
  void copyBack();
  // The position (from 1 at the left) of the argument that Invoke's argument index names.
  unsigned positionOf(unsigned invokeIndex) const;
  size_t size() const { return args_.size(); }
  const platform::VARIANT& argument(size_t i) const { return args_[i]; }

 private:
  struct TextReference {
    BoundVariable variable;
    size_t argument = 0;  // its index in args_
  };
  static constexpr size_t kCapacity = kMaxArguments + 1;  // the arguments and a written value
  FixedList<platform::VARIANT, kCapacity> args_;          // call order; owned (cleared in the destructor)
  FixedList<platform::DISPID, kCapacity> named_;          // parallel: DISPID_UNKNOWN for positional arguments
  FixedList<platform::BSTR, kCapacity> texts_;            // the BSTRs that by-reference texts point at
  FixedList<TextReference, kCapacity> references_;
  FixedList<platform::VARIANT, kCapacity> ordered_;  // shallow copies in Invoke's order
  FixedList<platform::DISPID, kCapacity> orderedNames_;
  FixedList<size_t, kCapacity> order_;  // ordered_ index to args_ index
  platform::DISPPARAMS params_;
};

// The result of a read as the text pushed for the program: an object as its reference text
// (handed out), anything else changed to text in the ANSI code page. False for a VT_ERROR result
// or one that cannot be changed to text.
bool resultText(const platform::VARIANT& result, std::string& out);

}  // namespace tamsil::ole
