// The table of the grid's method calls (method_list.inc) and the call text each one sends: the
// method name, "(", the arguments separated by commas, ")"; numbers in decimal, texts between
// double quotes without their trailing blanks and with inner quotes doubled.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace kestrel::wrapper {

enum class Mode : std::uint8_t { Read, Perform };
enum class Result : std::uint8_t { None, Short, Long, Text };
enum class Guard : std::uint8_t { Guarded, Unguarded };
// What a call does after its own: the loads size the grid to 500 columns and 500 rows.
enum class Then : std::uint8_t { Nothing, MaxSize500 };

struct Method {
  std::string_view operation;
  std::string_view name;       // the method name sent
  std::string_view arguments;  // N, n or T per argument
  Mode mode;
  Result result;
  Guard guard;
  std::int32_t fallback;  // the numeric answer when not attached (a text answer is empty)
  Then then;
};

enum class MethodId : std::uint8_t {
#define M(operation, name, arguments, mode, result, guard, fallback, then) operation,
#include "wrapper/method_list.inc"
#undef M
};

std::span<const Method> Methods();
inline const Method& MethodOf(MethodId id) { return Methods()[std::size_t(id)]; }

// An argument of a call: a number or a text.
using MethodArgument = std::variant<std::int32_t, std::string_view>;

// The call text for the arguments, in call-text order; nothing when they do not match the
// method's list (their number, or a number where a text belongs, or the reverse).
std::optional<std::string> CallText(const Method& method, std::span<const MethodArgument> arguments);

}  // namespace kestrel::wrapper
