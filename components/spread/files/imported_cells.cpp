#include "components/spread/files/imported_cells.h"

#include <algorithm>
#include <cstring>

namespace spread::files {

void ImportedCells::Iterator::enter() {
  for (; block_ != end_; ++block_)
    if (!block_->bytes.empty()) {
      at_ = block_->bytes.data();
      return;
    }
  at_ = nullptr;
}

void ImportedCells::push_back(const ImportedCell& c) {
  const std::size_t need = kHead + (hasText(c.kind) ? 4 + c.text.size() : sizeof(double));
  if (blocks_.empty() || (!blocks_.back().bytes.empty() && blocks_.back().bytes.size() + need > kBlockBytes))
    blocks_.emplace_back().bytes.reserve(std::max(need, kBlockBytes));
  Block& b = blocks_.back();
  // The fixed part is put together here and appended at once, the text after it.
  char head[kHead + sizeof(double)];
  head[0] = char(c.kind);
  std::memcpy(head + 1, &c.col, 4);
  std::memcpy(head + 5, &c.row, 4);
  if (hasText(c.kind)) {
    const auto length = std::uint32_t(c.text.size());
    std::memcpy(head + kHead, &length, 4);
    b.bytes.append(head, kHead + 4).append(c.text);
  } else {
    std::memcpy(head + kHead, &c.number, sizeof(double));
    b.bytes.append(head, kHead + sizeof(double));
  }
  ++b.count, ++count_;
}

bool ImportedCells::adopt(std::string bytes, std::size_t count) {
  std::size_t at = 0, cells = 0;
  for (; at < bytes.size() && cells < count; ++cells) {
    if (bytes.size() - at < kHead + 4 || bytes[at] > char(ImportedKind::Error) || bytes[at] < 0) return false;
    const bool text = hasText(ImportedKind(std::uint8_t(bytes[at])));
    const std::size_t body = text ? 4 + std::size_t(load<std::uint32_t>(bytes.data() + at + kHead)) : sizeof(double);
    if (bytes.size() - at - kHead < body) return false;
    at += kHead + body;
  }
  if (at != bytes.size() || cells != count) return false;
  if (count == 0) return true;
  blocks_.push_back(Block{std::move(bytes), count});
  count_ += count;
  return true;
}

}  // namespace spread::files
