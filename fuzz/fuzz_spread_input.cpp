// The grid's cell input and picture headers on arbitrary bytes. The first byte picks a cell type
// (and a few of its settings), the rest is the typed text: the type either refuses it with a
// reason or takes it, and the text an accepted value shows is taken again by the same type. The
// same bytes as a picture file give a format and a size that is 0 x 0 or positive.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "components/spread/model/cell_format.h"
#include "components/spread/model/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace spread;
  Picture picture;
  picture.bytes.assign(data, data + size);
  ReadPictureHeader(picture);
  if (picture.width < 0 || picture.height < 0 || (picture.width == 0) != (picture.height == 0)) __builtin_trap();
  if (size == 0) return 0;

  static constexpr std::int16_t kTypes[] = {0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  Style style;
  style.cellType = kTypes[data[0] % std::size(kTypes)];
  style.dateFormat = std::int16_t((data[0] >> 4) % 4);
  style.dateCentury = data[0] & 0x40;
  style.time24Hour = data[0] & 0x40;
  style.timeSeconds = true;
  style.numberShowSep = data[0] & 0x80;
  style.numberNegStyle = (data[0] >> 5) % 3;
  style.currencyNegStyle = (data[0] >> 4) % 5;
  style.currencyPosStyle = (data[0] >> 6) % 4;
  style.picMask = "(999) AAA-NNNN UL HX";
  style.comboList = "one\ttwo\tthree";
  style.comboEditable = data[0] & 0x80;
  style.editCharCase = (data[0] >> 4) % 3;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const FormatContext context;
  const Parsed first = ParseCellInput(style, text, context);
  if (!first.ok) {
    if (first.error.empty()) __builtin_trap();
    return 0;
  }
  const std::string shown = CellText(style, first.value);
  (void)CellValueText(style, first.value);
  if (!ParseCellInput(style, shown, context).ok) __builtin_trap();
  return 0;
}
