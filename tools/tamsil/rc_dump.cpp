#include "tools/tamsil/rc_dump.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "runtime/window/definition_tree.h"
#include "runtime/window/definition_writer.h"
#include "tools/tamsil/rc_source.h"

namespace tamsil::tool {
namespace {

using window::DefinitionRecord;
using window::Slot;

using window::hexText;

std::string quoted(std::string_view s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}

std::string position(std::int32_t v) { return v == window::kDefaultPosition ? "default" : std::to_string(v); }

struct TextName {
  Slot slot;
  const char* name;
};
constexpr TextName kTextNames[] = {{Slot::Text, "text"},   {Slot::Title, "title"},     {Slot::Picture, "picture"}, {Slot::Format, "format"},
                                   {Slot::Value, "value"}, {Slot::Message, "message"}, {Slot::Icon, "icon"},       {Slot::Cursor, "cursor"}};

class Printer {
 public:
  std::string out;

  void window(const window::WindowTree& tree) {
    out += "\n";
    std::vector<const window::RecordNode*> children;
    if (tree.menuBar) children.push_back(&*tree.menuBar);
    for (const window::RecordNode& c : tree.controls) children.push_back(&c);
    record(tree.window, children, 0);
  }

 private:
  void record(const DefinitionRecord& r, const std::vector<const window::RecordNode*>& children, int depth) {
    const std::string indent(std::size_t(depth) * 2, ' ');
    const window::RecordLayout& l = *r.layout;
    out += indent + std::string(l.keyword);
    if (r.field != 0) out += " field=" + std::to_string(r.field);
    if (auto label = r.text(Slot::Label)) out += " label=" + quoted(*label);
    for (const TextName& t : kTextNames)
      if (auto s = r.text(t.slot)) out += std::string(" ") + t.name + "=" + quoted(*s);
    if (r.attributes != 0) out += " attributes=" + hexText(r.attributes);
    if (r.state != 0) out += " state=" + hexText(r.state);
    if (l.has(Slot::Pos) && r.pos != window::Position{})
      out += " pos=" + position(r.pos.x) + "," + position(r.pos.y) + "," + position(r.pos.width) + "," + position(r.pos.height);
    if (r.action != 0) out += " action=" + std::to_string(r.action);
    if (r.var) out += " var=" + std::to_string(r.var->type) + "," + std::to_string(r.var->size);
    if (r.colours) out += " colours=" + hexText(r.colours->slot[0]) + "," + hexText(r.colours->slot[1]) + "," + hexText(r.colours->slot[2]);
    if (l.has(Slot::BlockA)) blockA(r.blockA);

    const std::vector<std::string> details = detailLines(r);
    if (details.empty() && children.empty()) {
      out += "\n";
      return;
    }
    out += " {\n";
    for (const std::string& d : details) out += indent + "  " + d + "\n";
    for (const window::RecordNode* c : children) {
      std::vector<const window::RecordNode*> grand;
      for (const window::RecordNode& g : c->children) grand.push_back(&g);
      record(c->record, grand, depth + 1);
    }
    out += indent + "}\n";
  }

  void blockA(const window::BlockA& a) {
    if (a.message) out += " message=" + quoted(*a.message);
    if (a.altMessage) out += " altmessage=" + quoted(*a.altMessage);
    if (a.help) out += " help=" + quoted(*a.help);
    if (a.attributes != 0) out += " blockattributes=" + hexText(a.attributes);
    if (!a.alertKeys.empty()) {
      out += " alertkeys=";
      for (std::size_t i = 0; i < a.alertKeys.size(); ++i) out += (i ? "," : "") + std::to_string(a.alertKeys[i]);
    }
  }

  // The font line and raw lines for unnamed bytes that differ from what the writer lays down.
  static std::vector<std::string> detailLines(const DefinitionRecord& r) {
    std::vector<std::string> lines;
    if (r.font) {
      const window::FontRecord& f = *r.font;
      lines.push_back("font face=" + quoted(f.face) + " size=" + std::to_string(f.size) + " charset=" + std::to_string(f.charset) +
                      " colour=" + (f.colour == window::kDefaultColour ? std::string("default") : hexText(f.colour)) +
                      " weight=" + std::to_string(f.weight));
    }
    const std::vector<std::uint8_t> blank = window::blankRecord(*r.layout);
    std::vector<bool> named(blank.size(), false);
    named[0] = true;
    for (const window::SlotAt& s : r.layout->slots)
      for (std::uint32_t i = 0; i < window::slotWidth(s.slot); ++i) named[s.offset + i] = true;
    for (std::size_t i = 0; i < blank.size();) {
      if (named[i] || r.bytes[i] == blank[i]) {
        ++i;
        continue;
      }
      const std::size_t start = i;
      std::string bytes;
      for (; i < blank.size() && !named[i] && r.bytes[i] != blank[i]; ++i) bytes += (bytes.empty() ? "" : ",") + hexText(r.bytes[i]);
      lines.push_back("raw at=" + hexText(std::uint32_t(start)) + " bytes=" + bytes);
    }
    return lines;
  }
};

// Header-only kinds have no layout the source format can express.
const window::DefinitionRecord* unsettled(const window::RecordNode& n) {
  if (n.record.layout == &window::headerOnlyLayout()) return &n.record;
  for (const window::RecordNode& c : n.children)
    if (const auto* r = unsettled(c)) return r;
  return nullptr;
}

// A dump is only as good as the source it prints: the container must be exactly what compiling
// that source writes. Anything the source cannot say (bytes after the last record, a string
// offset into the middle of another string, a string that runs on into the next, bits the format
// does not define) makes the two differ, and the container is refused at the first such byte.
std::optional<window::DefinitionError> notAsWritten(std::span<const std::uint8_t> resource, const std::string& source) {
  auto module = parseDefinitionSource(source);
  if (!module)
    return window::DefinitionError{
        window::DefinitionFault::NotAsWritten, window::kNoOffset,
        "the container cannot be printed as source: line " + std::to_string(module.error().line) + " of its dump: " + module.error().message};
  const std::vector<std::uint8_t> written = window::writeContainer(*module);
  const std::size_t common = std::min(written.size(), resource.size());
  std::size_t at = 0;
  while (at < common && written[at] == resource[at]) ++at;
  if (at == written.size() && at == resource.size()) return std::nullopt;
  // Container positions are told as definition offsets where they lie in the body.
  const std::size_t bodyStart = resource.size() - window::parseContainer(resource)->body.size();
  const std::uint32_t offset = at >= bodyStart ? std::uint32_t(at - bodyStart + window::kBodyBias) : window::kNoOffset;
  const std::string where = at >= bodyStart ? "offset " + hexText(offset) : "byte " + std::to_string(at) + " of the module name";
  if (at == written.size())
    return window::DefinitionError{window::DefinitionFault::NotAsWritten, offset,
                                   std::to_string(resource.size() - at) + " bytes follow the last definition, from " + where};
  return window::DefinitionError{
      window::DefinitionFault::NotAsWritten, offset,
      "the container is not as the compiler writes its definitions: the byte at " + where + " cannot be printed as source"};
}

}  // namespace

window::Result<std::string> dumpContainer(std::span<const std::uint8_t> resource) {
  auto container = window::parseContainer(resource);
  if (!container) return container.error();
  const window::DefinitionBuffer buffer = window::makeDefinitionBuffer(container->body);
  const window::DefinitionReader reader(buffer);
  auto windows = reader.windowOffsets();
  if (!windows) return windows.error();
  Printer p;
  p.out = "# Window definitions of one module, printed by tamsil rc --dump.\nmodule name=" + quoted(container->moduleName) + "\n";
  for (std::uint32_t at : *windows) {
    auto tree = window::readWindowTree(reader, at);
    if (!tree) return tree.error();
    std::vector<const window::RecordNode*> all;
    if (tree->menuBar) all.push_back(&*tree->menuBar);
    for (const window::RecordNode& c : tree->controls) all.push_back(&c);
    for (const window::RecordNode* n : all)
      if (const auto* r = unsettled(*n))
        return window::DefinitionError{
            window::DefinitionFault::UnknownKind, r->offset,
            "record of kind " + hexText(r->kind) + " at offset " + hexText(r->offset) + " has no layout the source format can express"};
    p.window(*tree);
  }
  if (auto fault = notAsWritten(resource, p.out)) return *fault;
  return std::move(p.out);
}

}  // namespace tamsil::tool
