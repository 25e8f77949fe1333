#include "runtime/window/list_format.h"

#include <algorithm>
#include <charconv>

#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"

namespace tamsil::window {

std::vector<ListColumn> parseListFormat(std::string_view format) {
  std::vector<ListColumn> columns;
  size_t at = 0;
  while (at < format.size()) {
    ListColumn c;
    const auto [end, ec] = std::from_chars(format.data() + at, format.data() + format.size(), c.width);
    if (ec == std::errc()) at = size_t(end - format.data());
    else c.width = 0;
    // Modifiers up to the picture; the heading is the text between the first two '~'.
    bool headed = false;
    while (at < format.size() && format[at] != '@') {
      if (format[at] == '~') {
        const size_t close = format.find('~', at + 1);
        if (close == std::string_view::npos) return columns;
        if (!headed) c.heading = std::string(format.substr(at + 1, close - at - 1));
        headed = true;
        at = close;
      }
      ++at;
    }
    const size_t pictureEnd = at < format.size() ? format.find('@', at + 1) : std::string_view::npos;
    if (pictureEnd == std::string_view::npos) return columns;
    columns.push_back(std::move(c));
    at = pictureEnd + 1;
  }
  return columns;
}

void applyListFormat(platform::HWND list, std::string_view format, platform::HFONT font) {
  const std::vector<ListColumn> columns = parseListFormat(format);
  if (columns.size() < 2) return;
  std::vector<int> stops;
  std::string headings;
  int right = 0;
  for (size_t k = 0; k < columns.size(); ++k) {
    headings += (k ? "\t" : "") + columns[k].heading;
    if (k + 1 == columns.size()) break;
    right += std::max(columns[k].width, 1);
    platform::RECT r{0, 0, right, 0};
    platform::MapDialogRectFor(font, &r);
    stops.push_back(std::max(r.right, stops.empty() ? 1 : stops.back() + 1));
  }
  platform::SendMessageA(list, platform::LB_SETTABSTOPS, platform::WPARAM(stops.size()), reinterpret_cast<platform::LPARAM>(stops.data()));
  const bool headed = std::ranges::any_of(columns, [](const ListColumn& c) { return !c.heading.empty(); });
  if (headed) platform::SendMessageA(list, platform::LB_SETHEADINGS, 0, reinterpret_cast<platform::LPARAM>(headings.c_str()));
}

}  // namespace tamsil::window
