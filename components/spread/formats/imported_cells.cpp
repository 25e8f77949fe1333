#include "components/spread/formats/imported_cells.h"

#include <algorithm>
#include <cstring>

namespace spread::files {

void ImportedCells::Iterator::enter() {
  for (; block_ != end_; ++block_)
    if (!block_->bytes().empty()) {
      at_ = block_->bytes().data();
      return;
    }
  at_ = nullptr;
}

void ImportedCells::push_back(const ImportedCell& c) {
  const std::size_t need = kHead + (hasText(c.kind) ? 4 + c.text.size() : sizeof(double));
  if (blocks_.empty() || blocks_.back().keeper || (!blocks_.back().owned.empty() && blocks_.back().owned.size() + need > kBlockBytes))
    blocks_.emplace_back().owned.reserve(std::max(need, kBlockBytes));
  Block& b = blocks_.back();
  // The fixed part is put together here and appended at once, the text after it.
  char head[kHead + sizeof(double)];
  head[0] = char(c.kind);
  std::memcpy(head + 1, &c.col, 4);
  std::memcpy(head + 5, &c.row, 4);
  if (hasText(c.kind)) {
    const auto length = std::uint32_t(c.text.size());
    std::memcpy(head + kHead, &length, 4);
    b.owned.append(head, kHead + 4).append(c.text);
  } else {
    std::memcpy(head + kHead, &c.number, sizeof(double));
    b.owned.append(head, kHead + sizeof(double));
  }
  ++b.count, ++count_;
}

namespace {

// Whether bytes are count whole packed cells of known kinds.
bool WholeCells(std::string_view bytes, std::size_t count, std::size_t head) {
  std::size_t at = 0, cells = 0;
  for (; at < bytes.size() && cells < count; ++cells) {
    if (bytes.size() - at < head + 4 || bytes[at] > char(ImportedKind::Error) || bytes[at] < 0) return false;
    const auto kind = ImportedKind(std::uint8_t(bytes[at]));
    std::uint32_t length = 0;
    std::memcpy(&length, bytes.data() + at + head, sizeof length);
    const std::size_t body = kind == ImportedKind::Text || kind == ImportedKind::Error ? 4 + std::size_t(length) : sizeof(double);
    if (bytes.size() - at - head < body) return false;
    at += head + body;
  }
  return at == bytes.size() && cells == count;
}

}  // namespace

bool ImportedCells::adopt(std::string bytes, std::size_t count) {
  if (!WholeCells(bytes, count, kHead)) return false;
  if (count == 0) return true;
  blocks_.push_back(Block{std::move(bytes), nullptr, {}, count});
  count_ += count;
  return true;
}

bool ImportedCells::adopt(std::shared_ptr<const void> keeper, std::string_view bytes, std::size_t count) {
  if (!keeper || !WholeCells(bytes, count, kHead)) return false;
  if (count == 0) return true;
  blocks_.push_back(Block{{}, std::move(keeper), bytes, count});
  count_ += count;
  return true;
}

}  // namespace spread::files
