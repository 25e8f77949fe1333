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

constexpr size_t kCacheBytes = size_t(8) << 20;
constexpr int32_t kUnknown = -1;

// A step can see the start or the end of the text: "^" and "$" pass only there.
enum class Edge : uint8_t { Always, AtStart, AtEnd };

class ReverseSearch {
 public:
  explicit ReverseSearch(const CompiledRegex& r) : r_(r), mark_(r.program.size(), 0) {
    // Each instruction's predecessors over the steps that read no character.
    const auto& prog = r.program;
    std::vector<std::vector<std::pair<uint32_t, Edge>>> preds(prog.size());
    auto link = [&](size_t from, int64_t to, Edge edge) { preds[size_t(to)].push_back({uint32_t(from), edge}); };
    for (size_t pc = 0; pc < prog.size(); ++pc) {
      const auto& in = prog[pc];
      switch (in.op) {
        case Op::Split: link(pc, int64_t(pc) + in.x, Edge::Always), link(pc, int64_t(pc) + in.y, Edge::Always); break;
        case Op::Jump: link(pc, int64_t(pc) + in.x, Edge::Always); break;
        case Op::Start: link(pc, int64_t(pc) + 1, Edge::AtStart); break;
        case Op::End: link(pc, int64_t(pc) + 1, Edge::AtEnd); break;
        case Op::Match: match_ = uint32_t(pc); break;
        default: break;
      }
    }
    predFirst_.reserve(prog.size() + 1);
    for (const auto& p : preds) {
      predFirst_.push_back(uint32_t(predList_.size()));
      predList_.insert(predList_.end(), p.begin(), p.end());
    }
    predFirst_.push_back(uint32_t(predList_.size()));
  }

  int64_t run(std::string_view text) {
    const size_t n = text.size();
    // What reaches Match without reading anything is part of every state: worked out once and
    // left out of the states, whose work then grows only with what the text adds to it.
    std::vector<uint32_t> ready;
    bool emptyMatch = false;  // every state says so again
    closure({match_}, false, false, ready, emptyMatch);
    base_.assign(r_.program.size(), false);
    for (uint32_t pc : ready) base_[pc] = true;
    baseReady_ = std::move(ready);
    baseStep_.assign(r_.classMember.size(), {});
    baseStepKnown_.assign(r_.classMember.size(), false);

    int32_t s = full({}, nullptr, n == 0, true);
    int64_t best = states_[size_t(s)].accept ? int64_t(n) : -1;
    for (size_t j = n; j-- > 0;) {
      const uint8_t c = static_cast<uint8_t>(text[j]);
      s = j == 0 ? full(states_[size_t(s)].ready, &c, true, false) : step(s, c);
      if (states_[size_t(s)].accept) best = int64_t(j);
    }
    return best;
  }

 private:
  struct State {
    std::vector<uint32_t> ready;  // character instructions whose next instruction reaches Match,
                                  // beyond those of every state
    bool accept = false;          // the first instruction reaches Match: a match starts here
  };

  int32_t step(int32_t s, uint8_t c) {
    const size_t k = r_.byteClass[c];
    const size_t slot = size_t(s) * r_.classMember.size() + k;
    if (next_[slot] != kUnknown) return next_[slot];
    // The part every state shares steps the same way each time.
    if (!baseStepKnown_[k]) {
      std::vector<uint32_t> seeds{match_};
      for (uint32_t pc : baseReady_)
        if (r_.accepts(pc, c)) seeds.push_back(pc);
      closure(seeds, false, false, baseStep_[k].ready, baseStep_[k].accept);
      baseStepKnown_[k] = true;
    }
    State next = baseStep_[k];
    std::vector<uint32_t> seeds;
    for (uint32_t pc : states_[size_t(s)].ready)
      if (r_.accepts(pc, c)) seeds.push_back(pc);
    bool accept = false;
    std::vector<uint32_t> more;
    closure(seeds, false, false, more, accept);
    next.accept = next.accept || accept;
    next.ready.insert(next.ready.end(), more.begin(), more.end());
    const uint32_t drops = drops_;
    const int32_t t = intern(std::move(next));
    if (drops == drops_) next_[slot] = t;  // a dropped cache no longer holds s
    return t;
  }

  // A state worked out whole, for the offsets where "^" or "$" may pass: the text's end (no
  // character) and its start.
  int32_t full(const std::vector<uint32_t>& ready, const uint8_t* c, bool atStart, bool atEnd) {
    std::vector<uint32_t> seeds{match_};
    if (c) {
      for (uint32_t pc : baseReady_)
        if (r_.accepts(pc, *c)) seeds.push_back(pc);
      for (uint32_t pc : ready)
        if (r_.accepts(pc, *c)) seeds.push_back(pc);
    }
    State state;
    closure(seeds, atStart, atEnd, state.ready, state.accept);
    return intern(std::move(state));
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
      for (uint32_t k = predFirst_[pc]; k < predFirst_[pc + 1]; ++k) {
        const auto [from, edge] = predList_[k];
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
  uint32_t match_ = 0;
  std::vector<uint32_t> predFirst_;
  std::vector<std::pair<uint32_t, Edge>> predList_;
  std::vector<uint32_t> mark_, work_;
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
