// Results of reading a definition container. Containers come from resources and files, so every
// fault is an ordinary value: what went wrong, at which definition offset, in words.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <variant>

namespace tamsil::window {

enum class DefinitionFault {
  Truncated,           // the container ends inside its module name or first-window word
  OffsetOutOfRange,    // an offset or a record reaches outside the body
  UnterminatedString,  // a string runs to the end of the body without its NUL
  UnknownKind,         // a record of a kind no layout or builder knows
  WrongKind,           // a record of a known kind where another was required (a control as window)
  Cycle,               // a chain of next or child offsets reaches a record twice
  TooDeep,             // controls nested deeper than any window needs
  DuplicateField,      // two records of one window carry the same field number
  NotAsWritten,        // readable, but not what the compiler writes for any source (dumps only)
  LabelNotFound,       // no window of the module carries the label
};

struct DefinitionError {
  DefinitionFault fault;
  std::uint32_t offset;  // definition offset where the fault was found
  std::string message;
};

// A value or the error that prevented it.
template <class T, class E = DefinitionError>
class Result {
 public:
  Result(T value) : v_(std::move(value)) {}  // NOLINT: implicit by design, like expected<T>
  Result(E error) : v_(std::move(error)) {}  // NOLINT

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  const T& value() const& { return std::get<0>(v_); }
  T& value() & { return std::get<0>(v_); }
  T&& value() && { return std::get<0>(std::move(v_)); }
  const T& operator*() const& { return value(); }
  const T* operator->() const { return &value(); }
  const E& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, E> v_;
};

struct Done {};  // the value of a check that only succeeds or fails

// Offsets and kinds in messages are written in hexadecimal, as dumps and hex editors show them.
inline std::string hexText(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

}  // namespace tamsil::window
