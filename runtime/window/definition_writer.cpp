#include "runtime/window/definition_writer.h"

#include "runtime/window/little_endian.h"

namespace tamsil::window {
namespace {

class ContainerWriter {
 public:
  // Writes the window chain into the body and returns it.
  std::vector<std::uint8_t> body(const std::vector<RecordDef>& windows) {
    body_.assign(4, 0);  // the first-window word
    std::uint32_t linkAt = kFirstWindowWord;
    for (const RecordDef& w : windows) {
      const std::uint32_t at = record(w);
      patch(linkAt, at);
      linkAt = at + slotOffset(w, Slot::Next);
    }
    return std::move(body_);
  }

 private:
  std::uint32_t here() const { return std::uint32_t(body_.size()) + kBodyBias; }
  void patch(std::uint32_t at, std::uint32_t value) { storeU32(&body_[at - kBodyBias], value); }
  static std::uint32_t slotOffset(const RecordDef& r, Slot s) { return r.layout->find(s)->offset; }

  std::uint32_t putString(const std::optional<std::string>& s) {
    if (!s) return kNoOffset;
    const std::uint32_t at = here();
    body_.insert(body_.end(), s->begin(), s->end());
    body_.push_back(0);
    return at;
  }

  std::uint32_t putWords(std::initializer_list<std::uint32_t> words, std::size_t size) {
    const std::uint32_t at = here();
    body_.resize(body_.size() + size, 0);
    std::uint32_t i = 0;
    for (std::uint32_t w : words) storeU32(&body_[at - kBodyBias + 4 * i++], w);
    return at;
  }

  // The record's pool, in the documented order; returns where each pooled item went.
  struct Pool {
    std::array<std::uint32_t, kTextSlotCount> texts{};
    std::uint32_t alt = 0, message = 0, help = 0, font = 0, colours = 0, var = 0, alerts = 0;
  };

  Pool pool(const RecordDef& r) {
    Pool p;
    for (const SlotAt& a : r.layout->slots) {
      if (isTextSlot(a.slot)) p.texts[std::size_t(a.slot)] = putString(r.texts[std::size_t(a.slot)]);
      if (a.slot == Slot::BlockA) {
        p.alt = putString(r.blockA.altMessage);
        p.message = putString(r.blockA.message);
        p.help = putString(r.blockA.help);
      }
    }
    if (r.font && r.layout->has(Slot::Font)) {
      const FontDef& f = *r.font;
      p.font = putWords({here() + kFontRecordSize, 0, f.colour, f.weight}, kFontRecordSize);
      body_[p.font - kBodyBias + kFontSize] = f.size;
      body_[p.font - kBodyBias + kFontCharset] = f.charset;
      putString(f.face);
    }
    if (r.colours && r.layout->has(Slot::Colours))
      p.colours = putWords({r.colours->slot[0], r.colours->slot[1], r.colours->slot[2]}, kColorTripleSize);
    if (r.var && r.layout->has(Slot::Var)) {
      p.var = putWords({}, kVariableBindingSize);
      body_[p.var - kBodyBias] = r.var->type;
      body_[p.var - kBodyBias + 1] = r.var->size;
    }
    if (r.layout->has(Slot::BlockA)) {
      const std::vector<std::uint32_t>& keys = r.blockA.alertKeys;
      for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::uint32_t at = here();
        if (i == 0) p.alerts = at;
        putWords({keys[i], i + 1 < keys.size() ? at + kAlertPairSize : kNoOffset}, kAlertPairSize);
      }
    }
    return p;
  }

  std::uint32_t record(const RecordDef& r) {
    const Pool p = pool(r);
    const std::uint32_t at = here();
    std::vector<std::uint8_t> rec = blankRecord(*r.layout);
    for (const SlotAt& a : r.layout->slots) {
      std::uint8_t* q = rec.data() + a.offset;
      if (isTextSlot(a.slot)) {
        storeU32(q, p.texts[std::size_t(a.slot)]);
        continue;
      }
      switch (a.slot) {
        case Slot::Attributes: storeU32(q, r.attributes); break;
        case Slot::Field: storeU32(q, std::uint32_t(r.field)); break;
        case Slot::Action: storeU32(q, r.action); break;
        case Slot::State: storeU32(q, r.state); break;
        case Slot::Font: storeU32(q, p.font); break;
        case Slot::Colours: storeU32(q, p.colours); break;
        case Slot::Var: storeU32(q, p.var); break;
        case Slot::Pos:
          storeU32(q, std::uint32_t(r.pos.x));
          storeU32(q + 4, std::uint32_t(r.pos.y));
          storeU32(q + 8, std::uint32_t(r.pos.width));
          storeU32(q + 12, std::uint32_t(r.pos.height));
          break;
        case Slot::BlockA:
          storeU32(q + kBlockAltMessage, p.alt);
          storeU32(q + kBlockMessage, p.message);
          storeU32(q + kBlockHelp, p.help);
          storeU32(q + kBlockAttributes, r.blockA.attributes);
          storeU32(q + kBlockAlertKeys, p.alerts);
          break;
        default: break;  // Next, Child and MenuBar are patched once their targets exist
      }
    }
    for (const RawBytes& raw : r.raw) std::copy(raw.bytes.begin(), raw.bytes.end(), rec.begin() + raw.offset);
    body_.insert(body_.end(), rec.begin(), rec.end());
    children(r, at);
    return at;
  }

  void children(const RecordDef& r, std::uint32_t at) {
    if (r.layout->isWindow)
      for (const RecordDef& c : r.children)
        if (c.layout->kind == Kind::MenuBar) {
          patch(at + slotOffset(r, Slot::MenuBar), record(c));
          break;
        }
    if (!r.layout->has(Slot::Child)) return;
    std::uint32_t linkAt = at + slotOffset(r, Slot::Child);
    for (const RecordDef& c : r.children) {
      if (r.layout->isWindow && c.layout->kind == Kind::MenuBar) continue;
      const std::uint32_t childAt = record(c);
      patch(linkAt, childAt);
      linkAt = childAt + slotOffset(c, Slot::Next);
    }
  }

  std::vector<std::uint8_t> body_;
};

}  // namespace

std::vector<std::uint8_t> blankRecord(const RecordLayout& layout) {
  std::vector<std::uint8_t> rec(layout.length, 0);
  rec[0] = std::uint8_t(layout.kind);
  if (layout.hasFill) storeU32(rec.data() + layout.fillOffset, 0xFFFFFFFF);
  return rec;
}

std::vector<std::uint8_t> writeContainer(const ModuleDef& module) {
  std::vector<std::uint8_t> out(module.name.begin(), module.name.end());
  out.push_back(0);
  const std::vector<std::uint8_t> body = ContainerWriter().body(module.windows);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace tamsil::window
