#include "runtime/eval/regex.h"

#include <algorithm>
#include <mutex>

#include "runtime/value/locale.h"

namespace tamsil {

namespace {

using Op = CompiledRegex::Op;
using Instruction = CompiledRegex::Instruction;

// Groups nest at most this deep: the compiler recurses once per level.
constexpr int kMaxGroupDepth = 64;

// Emits the program straight into one array. Jumps are relative to their own instruction, so an
// item's code can be shifted whole when a repetition puts a split in front of it.
class Compiler {
 public:
  Compiler(std::string_view pattern, bool ignoreCase, CompiledRegex& out)
      : p_(pattern), ignoreCase_(ignoreCase), out_(out), locale_(loadLocale()) {}

  bool run() {
    if (p_.empty() || !alternatives(0) || i_ != p_.size()) return false;
    emit({Op::Match});
    return true;
  }

 private:
  size_t size() const { return out_.program.size(); }
  void emit(Instruction in) { out_.program.push_back(in); }
  void insert(size_t at, Instruction in) { out_.program.insert(out_.program.begin() + static_cast<std::ptrdiff_t>(at), in); }
  static int32_t rel(size_t to, size_t from) { return static_cast<int32_t>(to) - static_cast<int32_t>(from); }
  uint8_t fold(uint8_t c) const { return ignoreCase_ ? locale_.toUpper(c) : c; }

  bool alternatives(int depth) {
    std::vector<size_t> jumps;
    size_t start = size();
    for (;;) {
      if (!sequence(depth)) return false;
      if (i_ >= p_.size() || p_[i_] != '|') break;
      ++i_;
      insert(start, {Op::Split, 0, 1, 0});
      jumps.push_back(size());
      emit({Op::Jump});
      out_.program[start].y = rel(size(), start);
      start = size();
    }
    for (size_t j : jumps) out_.program[j].x = rel(size(), j);
    return true;
  }

  bool sequence(int depth) {
    size_t item = SIZE_MAX;  // start of the last item that a repetition may apply to
    bool repeated = false;
    while (i_ < p_.size() && p_[i_] != '|' && p_[i_] != '}') {
      const char c = p_[i_];
      if (c == '*' || c == '+' || c == '?') {
        if (item == SIZE_MAX || repeated) return false;
        repeat(item, c);
        repeated = true;
        ++i_;
        continue;
      }
      repeated = false;
      item = size();
      switch (c) {
        case '^':
        case '$':
          emit({c == '^' ? Op::Start : Op::End});
          item = SIZE_MAX;
          ++i_;
          break;
        case '.':
          emit({Op::Any});
          ++i_;
          break;
        case '[':
          if (!set()) return false;
          break;
        case '{':
          ++i_;
          if (depth + 1 > kMaxGroupDepth || !alternatives(depth + 1)) return false;
          if (i_ >= p_.size() || p_[i_] != '}') return false;
          ++i_;
          break;
        case '\\':
          if (++i_ >= p_.size()) return false;
          [[fallthrough]];
        default: emit({Op::Char, fold(static_cast<uint8_t>(p_[i_]))}); ++i_;
      }
    }
    // A '}' closes a group only inside one.
    return depth > 0 || i_ >= p_.size() || p_[i_] != '}';
  }

  void repeat(size_t item, char how) {
    const size_t len = size() - item;
    const int32_t n = static_cast<int32_t>(len);
    switch (how) {
      case '*':  // split: body or past the loop; the body jumps back to the split
        insert(item, {Op::Split, 0, 1, n + 2});
        emit({Op::Jump, 0, -(n + 1)});
        break;
      case '+':  // body, then back to it or on
        emit({Op::Split, 0, -n, 1});
        break;
      default:  // '?'
        insert(item, {Op::Split, 0, 1, n + 1});
    }
  }

  bool setMember(uint8_t& c) {
    if (i_ >= p_.size()) return false;
    if (p_[i_] == '\\' && ++i_ >= p_.size()) return false;
    c = static_cast<uint8_t>(p_[i_++]);
    return true;
  }

  bool set() {
    ++i_;  // '['
    std::bitset<256> members;
    bool complement = false;
    if (i_ < p_.size() && (p_[i_] == '^' || p_[i_] == '~')) complement = true, ++i_;
    if (i_ < p_.size() && (p_[i_] == ']' || p_[i_] == '-')) members.set(static_cast<uint8_t>(p_[i_++]));
    while (i_ < p_.size() && p_[i_] != ']') {
      uint8_t from = 0, to = 0;
      if (!setMember(from)) return false;
      to = from;
      if (i_ + 1 < p_.size() && p_[i_] == '-' && p_[i_ + 1] != ']') {
        ++i_;
        if (!setMember(to) || to < from) return false;
      }
      for (unsigned ch = from; ch <= to; ++ch) members.set(ch);
    }
    if (i_ >= p_.size()) return false;
    ++i_;  // ']'
    if (ignoreCase_) {
      const std::bitset<256> given = members;
      for (unsigned ch = 0; ch < 256; ++ch)
        if (given[ch]) members.set(locale_.toUpper(uint8_t(ch))).set(locale_.toLower(uint8_t(ch)));
    }
    if (complement) members.flip();
    emit({Op::Set, 0, static_cast<int32_t>(out_.sets.size())});
    out_.sets.push_back(members);
    return true;
  }

  std::string_view p_;
  size_t i_ = 0;
  bool ignoreCase_;
  CompiledRegex& out_;
  const LocaleData& locale_;
};

// Splits the characters into classes that every instruction treats alike: each distinct set of
// accepted characters divides the classes found so far into members and others.
void classifyBytes(CompiledRegex& r) {
  std::vector<std::bitset<256>> distinct;
  std::bitset<256> seenChars;
  for (const Instruction& in : r.program) {
    if (in.op == Op::Char && !seenChars[in.ch]) {
      seenChars.set(in.ch);
      std::bitset<256> members;
      for (unsigned c = 0; c < 256; ++c) members[c] = r.fold[c] == in.ch;
      distinct.push_back(members);
    }
  }
  distinct.insert(distinct.end(), r.sets.begin(), r.sets.end());
  r.byteClass.fill(0);
  uint16_t count = 1;
  for (const std::bitset<256>& members : distinct) {
    std::array<int, 512> renumber;  // by old class and membership
    renumber.fill(-1);
    count = 0;
    for (unsigned c = 0; c < 256; ++c) {
      int& to = renumber[size_t(r.byteClass[c]) * 2 + members[c]];
      if (to < 0) to = count++;
      r.byteClass[c] = static_cast<uint16_t>(to);
    }
  }
  r.classMember.assign(count, 0);
  for (unsigned c = 256; c-- > 0;) r.classMember[r.byteClass[c]] = static_cast<uint8_t>(c);
}

// The longest run of Char instructions that every way from the first instruction to Match
// passes through: it starts at an instruction that no forward split or jump skips over, and a
// Char always goes on to the next instruction. Case-folded patterns have none (the substring
// search compares exactly).
void findLiteral(CompiledRegex& r) {
  if (r.ignoreCase) return;
  const auto& prog = r.program;
  std::vector<int> skipped(prog.size() + 1, 0);  // difference array of skipped ranges
  auto skip = [&](size_t from, int64_t to) {
    if (to > int64_t(from) + 1) ++skipped[from + 1], --skipped[size_t(to)];
  };
  for (size_t pc = 0; pc < prog.size(); ++pc) {
    if (prog[pc].op == Op::Split) skip(pc, int64_t(pc) + prog[pc].x), skip(pc, int64_t(pc) + prog[pc].y);
    if (prog[pc].op == Op::Jump) skip(pc, int64_t(pc) + prog[pc].x);
  }
  int depth = 0;
  size_t bestFrom = 0, bestLength = 0;
  for (size_t pc = 0; pc < prog.size(); ++pc) {
    depth += skipped[pc];
    if (depth != 0 || prog[pc].op != Op::Char || (pc > 0 && prog[pc - 1].op == Op::Char)) continue;
    size_t end = pc;
    while (end < prog.size() && prog[end].op == Op::Char) ++end;
    if (end - pc > bestLength) bestFrom = pc, bestLength = end - pc;
  }
  for (size_t pc = bestFrom; pc < bestFrom + bestLength; ++pc) r.literal += static_cast<char>(prog[pc].ch);
  r.literalOnly = bestLength > 0 && bestFrom == 0 && bestLength + 1 == prog.size();
}

// The most characters a match can read, when the program has no loop: every split and jump then
// goes forward, so the longest way to Match is worked out from the end.
void findLongestMatch(CompiledRegex& r) {
  const auto& prog = r.program;
  std::vector<size_t> longest(prog.size(), 0);
  for (size_t pc = prog.size(); pc-- > 0;) {
    const Instruction& in = prog[pc];
    const auto at = [&](int32_t offset) { return size_t(int64_t(pc) + offset); };
    if ((in.op == Op::Split && (in.x <= 0 || in.y <= 0)) || (in.op == Op::Jump && in.x <= 0)) return;  // a loop
    switch (in.op) {
      case Op::Match: break;
      case Op::Split: longest[pc] = std::max(longest[at(in.x)], longest[at(in.y)]); break;
      case Op::Jump: longest[pc] = longest[at(in.x)]; break;
      case Op::Start:
      case Op::End: longest[pc] = longest[pc + 1]; break;
      default: longest[pc] = longest[pc + 1] + 1;
    }
  }
  r.longestMatch = longest[0];
}

// The predecessor lists, counted first so that they fill two arrays.
void linkPredecessors(CompiledRegex& r) {
  using Edge = CompiledRegex::Edge;
  struct Link {
    size_t from;
    int64_t to;
    Edge edge;
  };
  std::vector<Link> links;
  for (size_t pc = 0; pc < r.program.size(); ++pc) {
    const Instruction& in = r.program[pc];
    const auto at = [&](int64_t offset) { return int64_t(pc) + offset; };
    switch (in.op) {
      case Op::Split: links.push_back({pc, at(in.x), Edge::Always}), links.push_back({pc, at(in.y), Edge::Always}); break;
      case Op::Jump: links.push_back({pc, at(in.x), Edge::Always}); break;
      case Op::Start: links.push_back({pc, at(1), Edge::AtStart}); break;
      case Op::End: links.push_back({pc, at(1), Edge::AtEnd}); break;
      default: break;
    }
  }
  r.predFirst.assign(r.program.size() + 1, 0);
  for (const Link& l : links) ++r.predFirst[size_t(l.to) + 1];
  for (size_t pc = 0; pc < r.program.size(); ++pc) r.predFirst[pc + 1] += r.predFirst[pc];
  r.predecessors.resize(links.size());
  std::vector<uint32_t> fill(r.predFirst.begin(), r.predFirst.end() - 1);
  for (const Link& l : links) r.predecessors[fill[size_t(l.to)]++] = {uint32_t(l.from), l.edge};
}

}  // namespace

std::optional<CompiledRegex> CompiledRegex::compile(std::string_view pattern, bool ignoreCase) {
  CompiledRegex r;
  r.ignoreCase = ignoreCase;
  if (!Compiler(pattern, ignoreCase, r).run()) return std::nullopt;
  const LocaleData& locale = loadLocale();
  for (unsigned c = 0; c < 256; ++c) r.fold[c] = ignoreCase ? locale.toUpper(uint8_t(c)) : uint8_t(c);
  classifyBytes(r);
  findLiteral(r);
  findLongestMatch(r);
  linkPredecessors(r);
  return r;
}

bool CompiledRegex::accepts(uint32_t pc, uint8_t c) const {
  const Instruction& in = program[pc];
  switch (in.op) {
    case Op::Char: return fold[c] == in.ch;
    case Op::Any: return true;
    case Op::Set: return sets[static_cast<size_t>(in.x)][c];
    default: return false;
  }
}

std::shared_ptr<const CompiledRegex> cachedRegex(std::string_view pattern, bool ignoreCase) {
  struct Cache {
    std::mutex mutex;
    std::string pattern;
    bool ignoreCase = false;
    bool filled = false;
    std::shared_ptr<const CompiledRegex> compiled;  // null: the pattern is not valid
  };
  static Cache cache;
  {
    std::lock_guard lock(cache.mutex);
    if (cache.filled && cache.ignoreCase == ignoreCase && cache.pattern == pattern) return cache.compiled;
  }
  std::optional<CompiledRegex> r = CompiledRegex::compile(pattern, ignoreCase);
  std::shared_ptr<const CompiledRegex> compiled = r ? std::make_shared<const CompiledRegex>(std::move(*r)) : nullptr;
  std::lock_guard lock(cache.mutex);
  cache.pattern.assign(pattern);
  cache.ignoreCase = ignoreCase;
  cache.filled = true;
  cache.compiled = compiled;
  return compiled;
}

}  // namespace tamsil
