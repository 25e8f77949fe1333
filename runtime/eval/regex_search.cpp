// The search of a compiled pattern. A match can start at an offset when a way through the
// program from its first instruction reaches Match reading the text from there on. Going over
// the text from its end to its start, the set of instructions that can still reach Match from
// the current offset is worked out from the set at the next offset, and the smallest offset
// whose set holds the first instruction is where the leftmost match starts. Those sets are the
// states of an automaton built as the text asks for them; each transition is worked out once and
// then looked up, so a search costs one lookup per character. The built states are kept up to a
// memory limit, after which they are dropped and built again: the work per character is then
// still bounded by the pattern's length.
#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/eval/regex.h"

namespace tamsil {

namespace {

using Op = CompiledRegex::Op;
using Edge = CompiledRegex::Edge;

constexpr size_t kCacheBytes = size_t(8) << 20;  // the kept states of one search, at most
constexpr int32_t kUnknown = -1;                 // a transition not worked out yet
// Texts up to this length are searched without keeping states: each is used about once.
constexpr size_t kDirectLength = 64;

class ReverseSearch {
 public:
  explicit ReverseSearch(const CompiledRegex& r) : r_(r), match_(uint32_t(r.program.size() - 1)), mark_(r.program.size(), 0) {}

  // Without a loop a match reads at most longestMatch characters, so the offsets up to that far
  // before the end of a leading window are decided by the window alone: windows of growing size
  // are tried first, so a match near the start of a long text is found without reading all of it.
  int64_t run(std::string_view text) {
    const size_t n = text.size();
    // What reaches Match without reading anything is part of every state: worked out once and
    // left out of the states, whose work then grows only with what the text adds to it.
    std::vector<uint32_t> ready;
    bool emptyMatch = false;  // the shared part's answer, which each step's own closure repeats
    closure({match_}, false, false, ready, emptyMatch);
    base_.assign(r_.program.size(), false);
    for (uint32_t pc : ready) base_[pc] = true;
    baseReady_ = std::move(ready);
    baseStep_.assign(r_.classMember.size(), {});
    baseStepKnown_.assign(r_.classMember.size(), false);

    if (r_.longestMatch < n / 4) {
      for (size_t window = std::max<size_t>(4 * r_.longestMatch, kDirectLength); window < n; window *= 4) {
        const int64_t found = scan(text.substr(0, window), false);
        if (found >= 0 && size_t(found) + r_.longestMatch <= window) return found;
      }
    }
    return scan(text, true);
  }

 private:
  // The leftmost match start in text, which reaches the end of the whole text or stops short.
  int64_t scan(std::string_view text, bool wholeText) {
    const size_t n = text.size();
    State s = full({}, nullptr, n == 0, wholeText);
    int64_t best = s.accept ? int64_t(n) : -1;
    if (n == 0) return best;
    const bool keep = n > kDirectLength;
    int32_t id = kUnknown;
    if (keep) {
      id = intern(std::move(s));
      s = {};  // the interned state is used from here on; s stays a valid empty state
    }
    State next;
    for (size_t j = n; j-- > 1;) {
      const uint8_t c = static_cast<uint8_t>(text[j]);
      if (keep) {
        id = step(id, c);
      } else {
        successor(s, c, next);
        std::swap(s, next);
      }
      if ((keep ? states_[size_t(id)] : s).accept) best = int64_t(j);
    }
    const uint8_t first = static_cast<uint8_t>(text[0]);
    return full((keep ? states_[size_t(id)] : s).ready, &first, true, false).accept ? 0 : best;
  }

  struct State {
    std::vector<uint32_t> ready;  // character instructions whose next instruction reaches Match,
                                  // beyond those of every state
    bool accept = false;          // the first instruction reaches Match: a match starts here
  };

  // The state before a character at an offset that neither "^" nor "$" can see, into out (whose
  // storage is reused).
  void successor(const State& s, uint8_t c, State& out) {
    const size_t k = r_.byteClass[c];
    // The part every state shares steps the same way each time.
    if (!baseStepKnown_[k]) {
      seeds_.assign(1, match_);
      for (uint32_t pc : baseReady_)
        if (r_.accepts(pc, c)) seeds_.push_back(pc);
      closure(seeds_, false, false, baseStep_[k].ready, baseStep_[k].accept);
      baseStepKnown_[k] = true;
    }
    out.ready.assign(baseStep_[k].ready.begin(), baseStep_[k].ready.end());
    out.accept = baseStep_[k].accept;
    seeds_.clear();
    for (uint32_t pc : s.ready)
      if (r_.accepts(pc, c)) seeds_.push_back(pc);
    closure(seeds_, false, false, out.ready, out.accept);
  }

  // successor through the kept states.
  int32_t step(int32_t s, uint8_t c) {
    const size_t slot = size_t(s) * r_.classMember.size() + r_.byteClass[c];
    if (next_[slot] != kUnknown) return next_[slot];
    State next;
    successor(states_[size_t(s)], c, next);
    const uint32_t drops = drops_;
    const int32_t t = intern(std::move(next));
    if (drops == drops_) next_[slot] = t;  // a dropped cache no longer holds s
    return t;
  }

  // A state worked out whole, for the offsets where "^" or "$" may pass: the text's end (no
  // character) and its start.
  State full(const std::vector<uint32_t>& ready, const uint8_t* c, bool atStart, bool atEnd) {
    std::vector<uint32_t> seeds{match_};
    if (c) {
      for (uint32_t pc : baseReady_)
        if (r_.accepts(pc, *c)) seeds.push_back(pc);
      for (uint32_t pc : ready)
        if (r_.accepts(pc, *c)) seeds.push_back(pc);
    }
    State state;
    closure(seeds, atStart, atEnd, state.ready, state.accept);
    return state;
  }

  // Everything that reaches the seeds without reading a character: the character instructions
  // right before those (beyond the shared part, once that is known) and whether the first
  // instruction is among them.
  void closure(const std::vector<uint32_t>& seeds, bool atStart, bool atEnd, std::vector<uint32_t>& ready, bool& accept) {
    ++generation_;
    work_.clear();
    auto reach = [&](uint32_t pc) {
      if (mark_[pc] == generation_) return;
      mark_[pc] = generation_;
      work_.push_back(pc);
    };
    for (uint32_t pc : seeds) reach(pc);
    while (!work_.empty()) {
      const uint32_t pc = work_.back();
      work_.pop_back();
      if (pc == 0) accept = true;
      if (pc > 0 && isCharacter(pc - 1) && (base_.empty() || !base_[pc - 1])) ready.push_back(pc - 1);
      for (uint32_t k = r_.predFirst[pc]; k < r_.predFirst[pc + 1]; ++k) {
        const auto [from, edge] = r_.predecessors[k];
        if (edge == Edge::Always || (edge == Edge::AtStart && atStart) || (edge == Edge::AtEnd && atEnd)) reach(from);
      }
    }
  }

  bool isCharacter(uint32_t pc) const {
    const Op op = r_.program[pc].op;
    return op == Op::Char || op == Op::Any || op == Op::Set;
  }

  int32_t intern(State state) {
    std::sort(state.ready.begin(), state.ready.end());
    state.ready.erase(std::unique(state.ready.begin(), state.ready.end()), state.ready.end());
    std::string key(reinterpret_cast<const char*>(state.ready.data()), state.ready.size() * sizeof(uint32_t));
    key += state.accept ? '1' : '0';
    if (const auto it = index_.find(key); it != index_.end()) return it->second;
    const size_t cost = 2 * key.size() + r_.classMember.size() * sizeof(int32_t) + sizeof(State) + 64;
    if (cacheBytes_ + cost > kCacheBytes) {
      states_.clear(), next_.clear(), index_.clear();
      cacheBytes_ = 0;
      ++drops_;
    }
    cacheBytes_ += cost;
    const auto id = static_cast<int32_t>(states_.size());
    states_.push_back(std::move(state));
    next_.resize(next_.size() + r_.classMember.size(), kUnknown);
    index_.emplace(std::move(key), id);
    return id;
  }

  const CompiledRegex& r_;
  const uint32_t match_;  // the program's last instruction
  std::vector<uint32_t> mark_, work_, seeds_;
  uint32_t generation_ = 0;

  std::vector<uint32_t> baseReady_;  // the shared part
  std::vector<bool> base_;           // by instruction: in baseReady_
  std::vector<State> baseStep_;      // by character class: what the shared part steps to
  std::vector<bool> baseStepKnown_;

  std::vector<State> states_;
  std::vector<int32_t> next_;  // by state and character class
  std::unordered_map<std::string, int32_t> index_;
  size_t cacheBytes_ = 0;
  uint32_t drops_ = 0;
};

}  // namespace

int64_t CompiledRegex::search(std::string_view text) const {
  if (!literal.empty()) {
    const void* found = memmem(text.data(), text.size(), literal.data(), literal.size());
    if (!found) return -1;  // every match holds the literal
    if (literalOnly) return static_cast<const char*>(found) - text.data();
  }
  return ReverseSearch(*this).run(text);
}

}  // namespace tamsil
