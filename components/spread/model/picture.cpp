#include "components/spread/model/picture.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

namespace spread {

namespace {

std::uint32_t be16(const std::vector<std::uint8_t>& b, size_t at) { return std::uint32_t(b[at]) << 8 | b[at + 1]; }
std::uint32_t le16(const std::vector<std::uint8_t>& b, size_t at) { return std::uint32_t(b[at + 1]) << 8 | b[at]; }
std::uint32_t be32(const std::vector<std::uint8_t>& b, size_t at) { return be16(b, at) << 16 | be16(b, at + 2); }
std::uint32_t le32(const std::vector<std::uint8_t>& b, size_t at) { return le16(b, at + 2) << 16 | le16(b, at); }

bool startsWith(const std::vector<std::uint8_t>& b, std::string_view magic) {
  return b.size() >= magic.size() &&
         std::equal(magic.begin(), magic.end(), b.begin(), [](char m, std::uint8_t c) { return std::uint8_t(m) == c; });
}

// A JPEG's size is in its first start-of-frame segment (SOF0..SOF15 except DHT 0xC4, JPG 0xC8
// and DAC 0xCC); segments before it are skipped by their lengths.
bool jpegSize(const std::vector<std::uint8_t>& b, std::int32_t& w, std::int32_t& h) {
  size_t at = 2;
  while (at + 4 <= b.size()) {
    if (b[at] != 0xFF) return false;
    const std::uint8_t marker = b[at + 1];
    if (marker == 0xFF) {
      ++at;
      continue;
    }
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    const std::uint32_t length = be16(b, at + 2);
    if (length < 2) return false;
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (at + 9 > b.size()) return false;
      h = std::int32_t(be16(b, at + 5));
      w = std::int32_t(be16(b, at + 7));
      return true;
    }
    at += 2 + length;
  }
  return false;
}

}  // namespace

void ReadPictureHeader(Picture& p) {
  const auto& b = p.bytes;
  p.format = PictureFormat::Unknown;
  p.width = p.height = 0;
  std::int32_t w = 0, h = 0;
  if (startsWith(b, "\x89PNG\r\n\x1A\n")) {
    p.format = PictureFormat::Png;
    if (b.size() >= 24) {
      w = std::int32_t(be32(b, 16));
      h = std::int32_t(be32(b, 20));
    }
  } else if (startsWith(b, "\xFF\xD8")) {
    p.format = PictureFormat::Jpeg;
    if (!jpegSize(b, w, h)) w = h = 0;
  } else if (startsWith(b, "BM") && b.size() >= 26) {
    p.format = PictureFormat::Bmp;
    if (le32(b, 14) == 12) {  // the old core header: 16-bit sizes
      w = std::int32_t(le16(b, 18));
      h = std::int32_t(le16(b, 20));
    } else {
      w = std::int32_t(le32(b, 18));
      // A negative height stores the rows top-down; the most negative number has no size.
      const std::int64_t height = std::int32_t(le32(b, 22));
      h = height == INT32_MIN ? 0 : std::int32_t(height < 0 ? -height : height);
    }
  } else if ((startsWith(b, "GIF87a") || startsWith(b, "GIF89a")) && b.size() >= 10) {
    p.format = PictureFormat::Gif;
    w = std::int32_t(le16(b, 6));
    h = std::int32_t(le16(b, 8));
  }
  if (w > 0 && h > 0) {
    p.width = w;
    p.height = h;
  }
}

std::shared_ptr<const Picture> LoadPictureFile(std::string_view fileName, std::int32_t kind) {
  std::ifstream in{std::string(fileName), std::ios::binary};
  if (!in) return nullptr;
  auto p = std::make_shared<Picture>();
  p->fileName = fileName;
  p->kind = kind;
  p->bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return nullptr;
  ReadPictureHeader(*p);
  return p;
}

}  // namespace spread
