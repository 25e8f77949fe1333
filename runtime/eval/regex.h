// The runtime's own regular expressions (STRPOS, MATCH mode 2):
//   ^ $ .        start, end, any character
//   [abc] [a-z]  sets; [^...] or [~...] the complement; ']' or '-' first, or '-' last, is a member
//   { }  |       groups and alternatives
//   * + ?        repetition of the item before; a repetition right after another is an error
//   \c           c taken literally
// A pattern compiles to a small program that is run as a set of simultaneous states, so the time
// of a search grows with text length times pattern length, never exponentially.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsil {

class CompiledRegex {
 public:
  enum class Op : uint8_t { Char, Any, Set, Split, Jump, Start, End, Match };
  struct Instruction {
    Op op;
    uint8_t ch = 0;        // Char (upper-cased when ignoring case)
    int32_t x = 0, y = 0;  // Split: both targets, Jump: x, relative to this instruction;
                           // Set: x is the index into sets
  };

  // The compiled pattern, or nothing when it is not valid.
  static std::optional<CompiledRegex> compile(std::string_view pattern, bool ignoreCase);

  // The offset where the leftmost match starts, or -1.
  int64_t search(std::string_view text) const;

  std::vector<Instruction> program;
  std::vector<std::bitset<256>> sets;
  bool ignoreCase = false;
};

// The compiled form of a pattern through the process-wide cache of the last one compiled; null
// when the pattern is not valid. Safe on any thread.
std::shared_ptr<const CompiledRegex> cachedRegex(std::string_view pattern, bool ignoreCase);

}  // namespace tamsil
