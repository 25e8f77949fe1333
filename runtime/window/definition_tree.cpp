#include "runtime/window/definition_tree.h"

#include <set>
#include <string>

namespace tamsil::window {
namespace {

class TreeWalk {
 public:
  explicit TreeWalk(const DefinitionReader& reader) : reader_(reader) {}

  Result<std::vector<RecordNode>> chain(std::uint32_t first, int depth) {
    std::vector<RecordNode> nodes;
    if (first != kNoOffset && depth > kMaxNesting)
      return DefinitionError{DefinitionFault::TooDeep, first, "controls nested deeper than " + std::to_string(kMaxNesting) + " levels"};
    for (std::uint32_t at = first; at != kNoOffset;) {
      auto node = one(at, depth);
      if (!node) return node.error();
      at = node->record.next;
      nodes.push_back(std::move(node).value());
    }
    return nodes;
  }

  Result<RecordNode> one(std::uint32_t at, int depth) {
    if (!seen_.insert(at).second) return DefinitionError{DefinitionFault::Cycle, at, "record at offset " + hexText(at) + " is reached twice"};
    auto rec = reader_.record(at);
    if (!rec) return rec.error();
    if (rec->isWindow())
      return DefinitionError{DefinitionFault::WrongKind, at, "a window record stands among the controls at offset " + hexText(at)};
    if (!note(rec->field))
      return DefinitionError{DefinitionFault::DuplicateField, at,
                             "field " + std::to_string(rec->field) + " at offset " + hexText(at) + " is used twice in its window"};
    auto children = chain(rec->child, depth + 1);
    if (!children) return children.error();
    return RecordNode{std::move(rec).value(), std::move(children).value()};
  }

  void markWindow(std::uint32_t at) { seen_.insert(at); }
  std::int32_t lowest() const { return lowest_; }
  std::int32_t highest() const { return highest_; }

 private:
  // Records a field number; false when another record of the window has it (0 is no field).
  bool note(std::int32_t field) {
    if (field == 0) return true;
    if (!fields_.insert(field).second) return false;
    if (lowest_ == 0 || field < lowest_) lowest_ = field;
    if (highest_ == 0 || field > highest_) highest_ = field;
    return true;
  }

  const DefinitionReader& reader_;
  std::set<std::uint32_t> seen_;
  std::set<std::int32_t> fields_;
  std::int32_t lowest_ = 0, highest_ = 0;
};

}  // namespace

Result<WindowTree> readWindowTree(const DefinitionReader& reader, std::uint32_t windowOffset) {
  auto window = reader.window(windowOffset);
  if (!window) return window.error();
  TreeWalk walk(reader);
  walk.markWindow(windowOffset);
  WindowTree tree{std::move(window).value(), std::nullopt, {}, 0, 0};
  if (tree.window.menuBar != kNoOffset) {
    auto bar = walk.one(tree.window.menuBar, 1);
    if (!bar) return bar.error();
    if (bar->record.kind != std::uint8_t(Kind::MenuBar))
      return DefinitionError{DefinitionFault::WrongKind, tree.window.menuBar,
                             "the window's menu bar offset " + hexText(tree.window.menuBar) + " does not name a menu bar record"};
    tree.menuBar = std::move(bar).value();
  }
  auto controls = walk.chain(tree.window.child, 1);
  if (!controls) return controls.error();
  tree.controls = std::move(controls).value();
  tree.lowestField = walk.lowest();
  tree.highestField = walk.highest();
  return tree;
}

Result<Done> checkContainer(std::span<const std::uint8_t> resource) {
  auto container = parseContainer(resource);
  if (!container) return container.error();
  const DefinitionBuffer buffer = makeDefinitionBuffer(container->body);
  const DefinitionReader reader(buffer);
  auto windows = reader.windowOffsets();
  if (!windows) return windows.error();
  for (std::uint32_t at : *windows)
    if (auto tree = readWindowTree(reader, at); !tree) return tree.error();
  return Done{};
}

}  // namespace tamsil::window
