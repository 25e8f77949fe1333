// Fonts and images as handles: a font is a face, a size, a weight and a character set; an image
// is a stock icon or a file. Window colours are kept in the model beside the window's font.
// Deques keep entries in place, so a looked-up entry stays valid while others are added.
#include <deque>
#include <filesystem>
#include <variant>

#include "platform/window/detail/deliver.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform {

namespace {

struct FontInfo {
  std::string face;
  int points = 0;
  int weight = 0;
  BYTE charset = 0;
};

std::deque<FontInfo>& fonts() {
  static std::deque<FontInfo> f;
  return f;
}

using ImageInfo = std::variant<LONG_PTR, std::string>;
std::deque<ImageInfo>& images() {
  static std::deque<ImageInfo> i;
  return i;
}

const FontInfo* fontInfo(HFONT font) {
  const auto index = reinterpret_cast<std::uintptr_t>(font);
  RecursiveLock lock(detail::modelMutex());
  return index >= 1 && index <= fonts().size() ? &fonts()[index - 1] : nullptr;
}

const ImageInfo* imageInfo(LONG_PTR image) {
  RecursiveLock lock(detail::modelMutex());
  return image >= 1 && size_t(image) <= images().size() ? &images()[size_t(image) - 1] : nullptr;
}

LONG_PTR addImage(ImageInfo info) {
  RecursiveLock lock(detail::modelMutex());
  images().push_back(std::move(info));
  return LONG_PTR(images().size());
}

}  // namespace

HFONT CreateFontA(int points, int weight, const char* face, BYTE charset) {
  RecursiveLock lock(detail::modelMutex());
  fonts().push_back({face ? face : "System", points, weight, charset});
  return reinterpret_cast<HFONT>(fonts().size());
}

std::string FontFace(HFONT font) {
  const FontInfo* f = fontInfo(font);
  return f ? f->face : "System";
}

int FontPoints(HFONT font) {
  const FontInfo* f = fontInfo(font);
  return f ? f->points : 10;
}

int FontWeight(HFONT font) {
  const FontInfo* f = fontInfo(font);
  return f ? f->weight : 400;
}

BYTE FontCharset(HFONT font) {
  const FontInfo* f = fontInfo(font);
  return f ? f->charset : 0;
}

BOOL SetWindowColours(HWND hwnd, const WindowColours& colours) {
  auto w = detail::findWindow(hwnd);
  if (!w) return FALSE;
  if (detail::exchangeField(w->colours, colours) != colours) detail::notify(hwnd, Change::Font);
  return TRUE;
}

WindowColours GetWindowColours(HWND hwnd) {
  auto w = detail::findWindow(hwnd);
  if (!w) return {};
  RecursiveLock lock(detail::modelMutex());
  return w->colours;
}

LONG_PTR LoadIconA(LONG_PTR stockId) { return addImage(stockId); }

LONG_PTR LoadImageFromFile(std::string_view path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(std::filesystem::path(path), ec)) return 0;
  return addImage(std::string(path));
}

LONG_PTR ImageStockId(LONG_PTR image) {
  const ImageInfo* i = imageInfo(image);
  return i && std::holds_alternative<LONG_PTR>(*i) ? std::get<LONG_PTR>(*i) : 0;
}

std::string ImagePath(LONG_PTR image) {
  const ImageInfo* i = imageInfo(image);
  return i && std::holds_alternative<std::string>(*i) ? std::get<std::string>(*i) : std::string();
}

}  // namespace platform
