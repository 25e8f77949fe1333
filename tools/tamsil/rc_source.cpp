#include "tools/tamsil/rc_source.h"

#include <charconv>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "runtime/window/definition_tree.h"

namespace tamsil::tool {
namespace {

using window::Slot;

// A property value: numbers (one, or a comma list; "default" stands for the kind's default) or a string.
struct Value {
  bool isString = false;
  std::string text;
  std::vector<std::optional<std::int64_t>> numbers;  // nullopt for "default"
};

struct Statement {
  std::string word;
  std::vector<std::pair<std::string, Value>> properties;
  bool opensBody = false;
  bool closesBody = false;
};

class Failure {
 public:
  explicit Failure(std::string m) : message(std::move(m)) {}
  std::string message;
};

// Splits one line into a statement. Throws Failure for malformed text; the caller adds the line.
class LineParser {
 public:
  explicit LineParser(std::string_view line) : s_(line) {}

  Statement parse() {
    Statement st;
    skipBlanks();
    if (done()) return st;
    if (peek() == '}') {
      ++i_;
      st.closesBody = true;
      expectEnd();
      return st;
    }
    st.word = word();
    if (st.word.empty()) throw Failure("expected a statement, found '" + std::string(1, peek()) + "'");
    for (skipBlanks(); !done(); skipBlanks()) {
      if (peek() == '{') {
        ++i_;
        st.opensBody = true;
        expectEnd();
        break;
      }
      std::string name = word();
      if (name.empty()) throw Failure("expected a property name, found '" + std::string(1, peek()) + "'");
      if (done() || peek() != '=') throw Failure("expected '=' after '" + name + "'");
      ++i_;
      st.properties.emplace_back(std::move(name), value());
    }
    return st;
  }

 private:
  bool done() const { return i_ >= s_.size() || s_[i_] == '#'; }
  char peek() const { return s_[i_]; }
  void skipBlanks() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r')) ++i_;
  }
  void expectEnd() {
    skipBlanks();
    if (!done()) throw Failure("unexpected text after brace");
  }
  static bool wordChar(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'; }
  std::string word() {
    const std::size_t start = i_;
    while (i_ < s_.size() && wordChar(s_[i_])) ++i_;
    return std::string(s_.substr(start, i_ - start));
  }

  Value value() {
    Value v;
    if (i_ < s_.size() && s_[i_] == '"') {
      v.isString = true;
      v.text = quoted();
      return v;
    }
    for (;;) {
      const std::string w = word();
      if (w.empty()) throw Failure("expected a number, \"default\" or a string");
      v.numbers.push_back(w == "default" ? std::nullopt : std::optional(number(w)));
      if (i_ >= s_.size() || s_[i_] != ',') break;
      ++i_;
    }
    return v;
  }

  static std::int64_t number(std::string_view w) {
    const bool negative = !w.empty() && w[0] == '-';
    std::string_view digits = negative ? w.substr(1) : w;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
      base = 16;
      digits.remove_prefix(2);
    }
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || magnitude > 0xFFFFFFFFull)
      throw Failure("'" + std::string(w) + "' is not a number (decimal or 0x hexadecimal, 32 bits)");
    return negative ? -std::int64_t(magnitude) : std::int64_t(magnitude);
  }

  std::string quoted() {
    std::string out;
    for (++i_; i_ < s_.size(); ++i_) {
      char c = s_[i_];
      if (c == '"') {
        ++i_;
        return out;
      }
      if (c == '\\') {
        if (++i_ >= s_.size()) break;
        c = s_[i_];
        if (c == 'n') c = '\n';
        else if (c == 't') c = '\t';
        else if (c == 'x') {
          unsigned byte = 0;
          const auto [end, ec] = std::from_chars(s_.data() + i_ + 1, s_.data() + std::min(i_ + 3, s_.size()), byte, 16);
          if (ec != std::errc() || end != s_.data() + i_ + 3) throw Failure("\\x needs two hexadecimal digits");
          i_ += 2;
          c = char(byte);
        } else if (c != '"' && c != '\\') {
          throw Failure(std::string("unknown escape \\") + c);
        }
      }
      if (c == '\0') throw Failure("a string cannot hold a NUL byte");  // written or escaped
      out.push_back(c);
    }
    throw Failure("string is not terminated on its line");
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

// Typed access to a statement's properties, each of which must be used exactly once.
class Properties {
 public:
  explicit Properties(const Statement& st) : st_(st) {
    std::set<std::string> names;
    for (const auto& [name, v] : st.properties)
      if (!names.insert(name).second) throw Failure("property '" + name + "' is given twice");
  }

  const Value* take(std::string_view name) {
    for (const auto& [n, v] : st_.properties)
      if (n == name) {
        used_.insert(n);
        return &v;
      }
    return nullptr;
  }
  void checkAllUsed(std::string_view what) const {
    for (const auto& [n, v] : st_.properties)
      if (!used_.count(n)) throw Failure("property '" + n + "' does not apply to " + std::string(what));
  }

  std::optional<std::string> string(std::string_view name) {
    const Value* v = take(name);
    if (!v) return std::nullopt;
    if (!v->isString) throw Failure("'" + std::string(name) + "' takes a quoted string");
    return v->text;
  }
  // A list of exactly count numbers; "default" gives fallback (or is refused without one).
  std::optional<std::vector<std::int64_t>> numbers(std::string_view name, std::size_t count, std::int64_t lo, std::int64_t hi,
                                                   std::optional<std::int64_t> fallback = {}) {
    const Value* v = take(name);
    if (!v) return std::nullopt;
    if (v->isString || v->numbers.size() != count)
      throw Failure("'" + std::string(name) + "' takes " + (count == 1 ? "a number" : std::to_string(count) + " numbers separated by commas"));
    std::vector<std::int64_t> out;
    for (const auto& n : v->numbers) {
      if (!n && !fallback) throw Failure("'" + std::string(name) + "' has no default");
      const std::int64_t x = n ? *n : *fallback;
      if (x < lo || x > hi) throw Failure("'" + std::string(name) + "' value " + std::to_string(x) + " is out of range");
      out.push_back(x);
    }
    return out;
  }
  std::optional<std::int64_t> number(std::string_view name, std::int64_t lo, std::int64_t hi, std::optional<std::int64_t> fallback = {}) {
    auto v = numbers(name, 1, lo, hi, fallback);
    return v ? std::optional((*v)[0]) : std::nullopt;
  }
  // Any list length, for alert keys and raw bytes.
  std::optional<std::vector<std::int64_t>> list(std::string_view name, std::int64_t lo, std::int64_t hi) {
    const Value* v = take(name);
    if (!v) return std::nullopt;
    return numbers(name, v->numbers.size(), lo, hi);
  }

 private:
  const Statement& st_;
  std::set<std::string> used_;
};

constexpr std::int64_t kI32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kI32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kU32Max = std::numeric_limits<std::uint32_t>::max();
// Unsigned words may also be written as negative numbers (-1 for 0xFFFFFFFF).
constexpr std::int64_t kWordMin = kI32Min;

struct TextProperty {
  std::string_view name;
  Slot slot;
};
constexpr TextProperty kTextProperties[] = {
    {"label", Slot::Label},   {"text", Slot::Text},   {"picture", Slot::Picture}, {"format", Slot::Format},
    {"cursor", Slot::Cursor}, {"value", Slot::Value}, {"title", Slot::Title},     {"icon", Slot::Icon},
};

const window::RecordLayout* layoutByKeyword(std::string_view word) {
  for (const window::RecordLayout& l : window::allLayouts())
    if (l.keyword == word) return &l;
  return nullptr;
}

void readRecordProperties(Properties& p, window::RecordDef& r) {
  const window::RecordLayout& l = *r.layout;
  auto word = [&](std::string_view name, std::uint32_t& target, Slot slot) {
    if (!l.has(slot)) return;
    if (auto v = p.number(name, kWordMin, kU32Max)) target = std::uint32_t(*v);
  };
  word("attributes", r.attributes, Slot::Attributes);
  word("action", r.action, Slot::Action);
  word("state", r.state, Slot::State);
  if (l.has(Slot::Field))
    if (auto v = p.number("field", kI32Min, kI32Max)) r.field = std::int32_t(*v);
  for (const TextProperty& t : kTextProperties)
    if (l.has(t.slot)) r.texts[std::size_t(t.slot)] = p.string(t.name);
  if (l.has(Slot::Pos))
    if (auto v = p.numbers("pos", 4, kI32Min, kI32Max, window::kDefaultPosition))
      r.pos = {std::int32_t((*v)[0]), std::int32_t((*v)[1]), std::int32_t((*v)[2]), std::int32_t((*v)[3])};
  if (l.has(Slot::Colours))
    if (auto v = p.numbers("colours", 3, kWordMin, kU32Max))
      r.colours = window::ColorTriple{{std::uint32_t((*v)[0]), std::uint32_t((*v)[1]), std::uint32_t((*v)[2])}};
  if (l.has(Slot::Var))
    if (auto v = p.numbers("var", 2, 0, 255)) r.var = window::VariableBinding{std::uint8_t((*v)[0]), std::uint8_t((*v)[1])};
  if (l.has(Slot::Message)) r.texts[std::size_t(Slot::Message)] = p.string("message");
  if (l.has(Slot::BlockA)) {
    window::BlockADef& a = r.blockA;
    a.message = p.string("message");
    a.altMessage = p.string("altmessage");
    a.help = p.string("help");
    if (auto v = p.number("blockattributes", kWordMin, kU32Max)) a.attributes = std::uint32_t(*v);
    if (auto v = p.list("alertkeys", kWordMin, kU32Max))
      for (std::int64_t k : *v) a.alertKeys.push_back(std::uint32_t(k));
  }
  p.checkAllUsed("a " + std::string(l.keyword));
}

window::FontDef readFont(Properties& p) {
  window::FontDef f;
  auto face = p.string("face");
  if (!face) throw Failure("a font needs face=\"NAME\"");
  f.face = *face;
  const auto size = p.number("size", 0, 255);
  if (!size) throw Failure("a font needs size=POINTS");
  f.size = std::uint8_t(*size);
  if (auto v = p.number("charset", 0, 255)) f.charset = std::uint8_t(*v);
  if (auto v = p.number("colour", kWordMin, kU32Max, window::kDefaultColour)) f.colour = std::uint32_t(*v);
  if (auto v = p.number("weight", kWordMin, kU32Max)) f.weight = std::uint32_t(*v);
  p.checkAllUsed("a font");
  return f;
}

// Raw bytes must stay inside the record and clear of its kind byte and named fields.
window::RawBytes readRaw(Properties& p, const window::RecordLayout& l) {
  const auto at = p.number("at", 0, 255);
  const auto bytes = p.list("bytes", 0, 255);
  p.checkAllUsed("raw");
  if (!at || !bytes || bytes->empty()) throw Failure("raw needs at=OFFSET and bytes=B,B,...");
  const std::int64_t end = *at + std::int64_t(bytes->size());
  if (*at < 1 || end > l.length) throw Failure("raw bytes lie outside the " + std::string(l.keyword) + " record");
  for (const window::SlotAt& s : l.slots)
    if (*at < s.offset + std::int64_t(window::slotWidth(s.slot)) && s.offset < end)
      throw Failure("raw bytes overlap a named field of the " + std::string(l.keyword) + " record");
  window::RawBytes raw{std::uint8_t(*at), {}};
  for (std::int64_t b : *bytes) raw.bytes.push_back(std::uint8_t(b));
  return raw;
}

class SourceParser {
 public:
  window::Result<window::ModuleDef, SourceError> run(std::string_view text) {
    int lineNo = 0;
    try {
      for (std::size_t pos = 0; pos <= text.size();) {
        ++lineNo;
        const std::size_t nl = std::min(text.find('\n', pos), text.size());
        statement(LineParser(text.substr(pos, nl - pos)).parse(), lineNo);
        pos = nl + 1;
      }
      if (!open_.empty()) return SourceError{open_.back().line, "'{' opened here is never closed"};
      if (!module_) return SourceError{1, "the source names no module (module name=\"...\")"};
      if (auto refused = readerRefusal()) return *refused;
      return std::move(*module_);
    } catch (const Failure& f) {
      return SourceError{lineNo, f.message};
    }
  }

 private:
  // Whatever the runtime's reader would refuse is refused here too: the statements above check
  // each rule where it is broken; this reads the written container as the runtime does, so a rule
  // they miss still stops the compile, at the window that breaks it.
  std::optional<SourceError> readerRefusal() const {
    const std::vector<std::uint8_t> bytes = window::writeContainer(*module_);
    if (window::checkContainer(bytes)) return std::nullopt;
    const auto container = window::parseContainer(bytes);
    if (!container) return SourceError{moduleLine_, container.error().message};
    const window::DefinitionBuffer buffer = window::makeDefinitionBuffer(container->body);
    const window::DefinitionReader reader(buffer);
    const auto windows = reader.windowOffsets();
    if (!windows) return SourceError{moduleLine_, windows.error().message};
    for (std::size_t i = 0; i < windows->size(); ++i)
      if (auto tree = window::readWindowTree(reader, (*windows)[i]); !tree) return SourceError{windowLines_.at(i), tree.error().message};
    return SourceError{moduleLine_, "the runtime would refuse the compiled definitions"};
  }

  struct Open {
    window::RecordDef* record;
    int line;
  };

  void statement(const Statement& st, int line) {
    if (st.closesBody) {
      if (open_.empty()) throw Failure("'}' without an open record");
      open_.pop_back();
      return;
    }
    if (st.word.empty()) return;
    Properties p(st);
    if (st.word == "module") return moduleStatement(p, st, line);
    if (!module_) throw Failure("the first statement must be module name=\"...\"");
    if (st.word == "font" || st.word == "raw") return detailStatement(p, st);
    const window::RecordLayout* layout = layoutByKeyword(st.word);
    if (!layout) throw Failure("unknown statement '" + st.word + "'");
    window::RecordDef r;
    r.layout = layout;
    readRecordProperties(p, r);
    window::RecordDef* placed = place(std::move(r), line);
    if (st.opensBody) open_.push_back({placed, line});
  }

  void moduleStatement(Properties& p, const Statement& st, int line) {
    if (module_) throw Failure("module is given twice");
    moduleLine_ = line;
    auto name = p.string("name");
    p.checkAllUsed("module");
    if (!name || name->empty() || st.opensBody) throw Failure("module needs name=\"NAME\" and no body");
    module_ = window::ModuleDef{*name, {}};
  }

  void detailStatement(Properties& p, const Statement& st) {
    if (open_.empty()) throw Failure("'" + st.word + "' belongs inside a record's braces");
    if (st.opensBody) throw Failure("'" + st.word + "' takes no body");
    window::RecordDef& r = *open_.back().record;
    if (st.word == "raw") return r.raw.push_back(readRaw(p, *r.layout));
    if (!r.layout->has(Slot::Font)) throw Failure("a " + std::string(r.layout->keyword) + " has no font");
    if (r.font) throw Failure("the record has a font already");
    r.font = readFont(p);
  }

  window::RecordDef* place(window::RecordDef r, int line) {
    const window::RecordLayout& l = *r.layout;
    if (l.isWindow) {
      if (!open_.empty()) throw Failure("a " + std::string(l.keyword) + " cannot stand inside another record");
      fieldLines_.clear();
      windowLines_.push_back(line);
      module_->windows.push_back(std::move(r));
      return &module_->windows.back();
    }
    if (open_.empty()) throw Failure("a " + std::string(l.keyword) + " must stand inside a window's braces");
    // The window is level 0, so the open records count this record's level.
    if (open_.size() > std::size_t(window::kMaxNesting))
      throw Failure("records nested deeper than " + std::to_string(window::kMaxNesting) + " levels");
    if (r.field != 0) {
      const auto [at, fresh] = fieldLines_.emplace(r.field, line);
      if (!fresh) throw Failure("field " + std::to_string(r.field) + " is used on line " + std::to_string(at->second) + " already");
    }
    window::RecordDef& parent = *open_.back().record;
    const bool isBar = l.kind == window::Kind::MenuBar;
    if (isBar && !parent.layout->isWindow) throw Failure("a menubar belongs directly inside a window");
    if (!isBar && !parent.layout->has(Slot::Child)) throw Failure("a " + std::string(parent.layout->keyword) + " cannot contain other records");
    if (isBar)
      for (const window::RecordDef& c : parent.children)
        if (c.layout->kind == window::Kind::MenuBar) throw Failure("the window has a menubar already");
    parent.children.push_back(std::move(r));
    return &parent.children.back();
  }

  std::optional<window::ModuleDef> module_;
  std::vector<Open> open_;  // records whose braces are open; pointers stay valid (see place)
  int moduleLine_ = 1;
  std::vector<int> windowLines_;            // the line of each window, in order
  std::map<std::int32_t, int> fieldLines_;  // the current window's field numbers and their lines
};

}  // namespace

window::Result<window::ModuleDef, SourceError> parseDefinitionSource(std::string_view text) { return SourceParser().run(text); }

}  // namespace tamsil::tool
