// The runtime's own regular expressions (STRPOS, MATCH mode 2):
//   ^ $ .        start, end, any character
//   [abc] [a-z]  sets; [^...] or [~...] the complement; ']' or '-' first, or '-' last, is a member
//   { }  |       groups and alternatives
//   * + ?        repetition of the item before; a repetition right after another is an error
//   \c           c taken literally
// A pattern compiles to a small program. A search first looks for a text every match must hold
// (a plain substring search, which also answers a pattern that is only that text), then runs the
// program's states as a lazily built automaton over the text from its end (regex_search.cpp).
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

  // The offset where the leftmost match starts, or -1. An empty match is a match: "$" matches at
  // the text's length.
  int64_t search(std::string_view text) const;

  // Whether the instruction at pc (Char, Any or Set) accepts the character.
  bool accepts(uint32_t pc, uint8_t c) const;

  std::vector<Instruction> program;
  std::vector<std::bitset<256>> sets;
  bool ignoreCase = false;
  std::array<uint8_t, 256> fold{};  // the character as Char instructions hold it

  // Worked out once for the search. Characters every instruction treats alike share a class; the
  // automaton has one transition per class rather than per character.
  std::array<uint16_t, 256> byteClass{};
  std::vector<uint8_t> classMember;  // one character of each class
  std::string literal;               // a text every match holds; empty when none is known
  bool literalOnly = false;          // the pattern is that text and nothing else
  size_t longestMatch = SIZE_MAX;    // characters a match reads at most; SIZE_MAX with a loop

  // Each instruction's predecessors over the steps that read no character (splits, jumps and
  // anchors): predecessors[predFirst[pc] .. predFirst[pc + 1]). An anchor passes only at the
  // text's start ("^") or end ("$").
  enum class Edge : uint8_t { Always, AtStart, AtEnd };
  struct Predecessor {
    uint32_t from;
    Edge edge;
  };
  std::vector<uint32_t> predFirst;
  std::vector<Predecessor> predecessors;
};

// The compiled form of a pattern through the process-wide cache of the last one compiled; null
// when the pattern is not valid. Safe on any thread.
std::shared_ptr<const CompiledRegex> cachedRegex(std::string_view pattern, bool ignoreCase);

}  // namespace tamsil
