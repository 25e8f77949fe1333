#include "components/spread/files/imported_cells.h"

#include <algorithm>
#include <cstring>

namespace spread::files {
namespace {

bool HasText(ImportedKind k) { return k == ImportedKind::Text || k == ImportedKind::Error; }

template <class T>
T Load(const char* at) {
  T v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

// kind, column, row
constexpr std::size_t kHead = 1 + 4 + 4;

std::size_t BytesOf(const ImportedCell& c) { return kHead + (HasText(c.kind) ? 4 + c.text.size() : sizeof(double)); }

}  // namespace

void ImportedCells::Iterator::enter() {
  for (; block_ != end_; ++block_)
    if (!block_->bytes.empty()) {
      at_ = block_->bytes.data();
      return;
    }
  at_ = nullptr;
}

ImportedCell ImportedCells::Iterator::operator*() const {
  ImportedCell c;
  c.kind = ImportedKind(std::uint8_t(at_[0]));
  c.col = Load<std::int32_t>(at_ + 1);
  c.row = Load<std::int32_t>(at_ + 5);
  if (HasText(c.kind)) c.text = std::string_view(at_ + kHead + 4, Load<std::uint32_t>(at_ + kHead));
  else c.number = Load<double>(at_ + kHead);
  return c;
}

ImportedCells::Iterator& ImportedCells::Iterator::operator++() {
  at_ += kHead + (HasText(ImportedKind(std::uint8_t(at_[0]))) ? 4 + Load<std::uint32_t>(at_ + kHead) : sizeof(double));
  if (at_ == block_->bytes.data() + block_->bytes.size()) {
    ++block_;
    enter();
  }
  return *this;
}

void ImportedCells::push_back(const ImportedCell& c) {
  const std::size_t need = BytesOf(c);
  if (blocks_.empty() || (!blocks_.back().bytes.empty() && blocks_.back().bytes.size() + need > kBlockBytes))
    blocks_.emplace_back().bytes.reserve(std::max(need, kBlockBytes));
  Block& b = blocks_.back();
  // The fixed part is put together here and appended at once, the text after it.
  char head[kHead + sizeof(double)];
  head[0] = char(c.kind);
  std::memcpy(head + 1, &c.col, 4);
  std::memcpy(head + 5, &c.row, 4);
  if (HasText(c.kind)) {
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
    const bool text = HasText(ImportedKind(std::uint8_t(bytes[at])));
    const std::size_t body = text ? 4 + std::size_t(Load<std::uint32_t>(bytes.data() + at + kHead)) : sizeof(double);
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
