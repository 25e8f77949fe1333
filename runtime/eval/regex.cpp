#include "runtime/eval/regex.h"

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

}  // namespace

std::optional<CompiledRegex> CompiledRegex::compile(std::string_view pattern, bool ignoreCase) {
  CompiledRegex r;
  r.ignoreCase = ignoreCase;
  if (!Compiler(pattern, ignoreCase, r).run()) return std::nullopt;
  return r;
}

// All states of the program advance over the text together; each state remembers where its
// match attempt began, and of two states at the same instruction the earlier start is kept. A
// new attempt starts at each offset until a match is found; the search ends when no state that
// began before the best match so far is left.
int64_t CompiledRegex::search(std::string_view text) const {
  struct Thread {
    uint32_t pc, start;
  };
  const LocaleData& locale = loadLocale();
  std::vector<uint32_t> mark(program.size(), UINT32_MAX);
  std::vector<Thread> current, next, pending;
  int64_t best = -1;
  uint32_t generation = 0;

  auto add = [&](std::vector<Thread>& list, uint32_t pc, uint32_t start, size_t pos) {
    pending.push_back({pc, start});
    while (!pending.empty()) {
      const Thread t = pending.back();
      pending.pop_back();
      if (mark[t.pc] == generation) continue;
      mark[t.pc] = generation;
      const Instruction& in = program[t.pc];
      switch (in.op) {
        case Op::Split:
          pending.push_back({uint32_t(int64_t(t.pc) + in.y), t.start});
          pending.push_back({uint32_t(int64_t(t.pc) + in.x), t.start});
          break;
        case Op::Jump: pending.push_back({uint32_t(int64_t(t.pc) + in.x), t.start}); break;
        case Op::Start:
          if (pos == 0) pending.push_back({t.pc + 1, t.start});
          break;
        case Op::End:
          if (pos == text.size()) pending.push_back({t.pc + 1, t.start});
          break;
        case Op::Match:
          if (best < 0 || t.start < best) best = t.start;
          break;
        default: list.push_back(t);
      }
    }
  };

  for (size_t i = 0;; ++i) {
    if (best < 0) add(current, 0, static_cast<uint32_t>(i), i);
    if (current.empty() || i == text.size()) break;
    generation = static_cast<uint32_t>(i + 1);
    next.clear();
    const uint8_t c = static_cast<uint8_t>(text[i]);
    const uint8_t folded = ignoreCase ? locale.toUpper(c) : c;
    for (const Thread& t : current) {
      if (best >= 0 && t.start >= best) continue;
      const Instruction& in = program[t.pc];
      const bool ok = (in.op == Op::Char && in.ch == folded) || in.op == Op::Any || (in.op == Op::Set && sets[static_cast<size_t>(in.x)][c]);
      if (ok) add(next, t.pc + 1, t.start, i + 1);
    }
    std::swap(current, next);
  }
  return best;
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
