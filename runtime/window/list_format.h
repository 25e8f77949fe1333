// The columns of a list's format, and putting them on the list box: each column's width becomes a
// tab stop and its heading a heading of the list, so the items' tab-separated texts line up under
// titled columns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace tamsil::window {

// One column of a list format: its width in dialog units (0 when the format gives none) and its
// heading (empty when it has none).
struct ListColumn {
  int width = 0;
  std::string heading;
  bool operator==(const ListColumn&) const = default;
};

// The columns of a format such as "217L(2)|M~Message~S(255)@s255@42L(2)|M~Category~L(1)@s255@":
// each column is its width, then its modifiers with the heading between two '~', and ends with
// its picture between two '@'. A column whose heading or picture is not closed is not a column.
std::vector<ListColumn> parseListFormat(std::string_view format);

// Gives the list box the format's columns: tab stops at the columns' right edges (in pixels of
// font's dialog units) and, when any column has a heading, the heading row. A format of one
// column leaves the list as it is.
void applyListFormat(platform::HWND list, std::string_view format, platform::HFONT font);

}  // namespace tamsil::window
