// The demo's sample sheet as the grid receives it: every member the program writes to fill it,
// in order, with the variant type its wrapper sends (app/sample_sheet.cpp). The demo window's
// test compares the program's call log with CallLogLines(), so this table is what the program
// really sends; tests and benchmarks that need the sample sheet without the program replay it.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::testing::sample_sheet {

// How a step travels.
enum class Sent : std::uint8_t {
  Short,            // put member = I2
  Long,             // put member = I4
  Real,             // put member = R8
  RealAt,           // put member(I4 index) = R8
  Text,             // put member = BSTR
  Picture,          // the wrapper's NewCellPicture: CellType 9, LoadPicture(file, 0), TypePictPicture
  FittedRowHeight,  // RowHeight(index) = MaxTextRowHeight(index), as the grid measures it
};

struct Step {
  std::string_view member;
  Sent sent;
  double number = 0;
  std::string_view text = {};
  std::int32_t index = 0;  // RealAt and FittedRowHeight
};

inline constexpr Step shortPut(std::string_view m, double n) { return {m, Sent::Short, n}; }
inline constexpr Step longPut(std::string_view m, double n) { return {m, Sent::Long, n}; }
inline constexpr Step realPut(std::string_view m, double n) { return {m, Sent::Real, n}; }
inline constexpr Step realPutAt(std::string_view m, std::int32_t i, double n) { return {m, Sent::RealAt, n, {}, i}; }
inline constexpr Step textPut(std::string_view m, std::string_view t) { return {m, Sent::Text, 0, t}; }

// The picture of row 11, a bare name (the program's kSamplePicture).
inline constexpr std::string_view kPictureName = "cover.jpg";

// clang-format off
inline constexpr Step kSteps[] = {
    longPut("AppearanceStyle", 2), longPut("MaxRows", 13), longPut("MaxCols", 2),
    // Column 1: static-text labels.
    longPut("Row", -1), longPut("Col", 1), shortPut("CellType", 5),
    longPut("Row", 1), longPut("Col", 1), textPut("Text", "Date"),
    longPut("Row", 2), longPut("Col", 1), textPut("Text", "Edit"),
    longPut("Row", 3), longPut("Col", 1), textPut("Text", "Currency"),
    longPut("Row", 4), longPut("Col", 1), textPut("Text", "Number"),
    longPut("Row", 5), longPut("Col", 1), textPut("Text", "Percent"),
    longPut("Row", 6), longPut("Col", 1), textPut("Text", "PIC(Mask)"),
    longPut("Row", 7), longPut("Col", 1), textPut("Text", "Static text"),
    longPut("Row", 8), longPut("Col", 1), textPut("Text", "Time"),
    longPut("Row", 9), longPut("Col", 1), textPut("Text", "Button"),
    longPut("Row", 10), longPut("Col", 1), textPut("Text", "Combo Box"),
    longPut("Row", 11), longPut("Col", 1), textPut("Text", "Picture"),
    longPut("Row", 12), longPut("Col", 1), textPut("Text", "Check Box"),
    // Column 2: one cell of each type.
    longPut("Row", 1), longPut("Col", 2), shortPut("CellType", 0), shortPut("TypeDateCentury", 0), shortPut("TypeHAlign", 0),
    shortPut("TypeSpin", 0), shortPut("TypeDateFormat", 2), textPut("TypeDateMin", "01011900"), textPut("TypeDateMax", "12312199"),
    textPut("Text", "12/23/96"),
    longPut("Row", 2), longPut("Col", 2), shortPut("CellType", 1), longPut("TypeEditLen", 255), textPut("Text", "Type in me"),
    longPut("Row", 3), longPut("Col", 2), shortPut("CellType", 12), realPut("TypeCurrencyMin", -9999), realPut("TypeCurrencyMax", 9999),
    textPut("Text", "1000.00"),
    longPut("Row", 4), longPut("Col", 2), shortPut("CellType", 13), realPut("TypeNumberMax", 9999), realPut("TypeNumberMin", -9999),
    textPut("Text", "1234"),
    longPut("Row", 5), longPut("Col", 2), shortPut("CellType", 14), realPut("TypePercentMax", 100), realPut("TypePercentMin", 0.1),
    textPut("Text", "0.25"),
    longPut("Row", 6), longPut("Col", 2), shortPut("CellType", 4), textPut("TypePicMask", "(999) 999-9999"),
    textPut("Text", "(123) 456-7890"),
    longPut("Row", 7), longPut("Col", 2), shortPut("CellType", 5),
    textPut("Text", "This is a static text celltype. The property TypeTextWordWrap is used for wrapping."), shortPut("TypeTextWordWrap", 1),
    longPut("Row", 8), longPut("Col", 2), shortPut("CellType", 6), shortPut("TypeTime24Hour", 0), shortPut("TypeTimeSeconds", 0),
    shortPut("TypeTimeSeparator", 58), textPut("Text", "01:23 am"),
    longPut("Row", 9), longPut("Col", 2), shortPut("CellType", 7), textPut("TypeButtonText", "Press me"), realPutAt("RowHeight", 8, 35),
    longPut("Row", 10), longPut("Col", 2), shortPut("CellType", 8), textPut("TypeComboBoxList", "Item1\tItem2\tItem3"),
    longPut("Row", 11), longPut("Col", 2), shortPut("CellType", 9), shortPut("TypePictCenter", 1), shortPut("TypePictStretch", 1),
    shortPut("TypePictMaintainScale", 1), {"NewCellPicture", Sent::Picture}, realPutAt("RowHeight", 10, 45),
    longPut("Row", 12), longPut("Col", 2), shortPut("CellType", 10), textPut("TypeCheckText", "Check me"),
    longPut("Row", 13), longPut("Col", 2), shortPut("CellType", 11), longPut("TypeOwnerDrawStyle", 1), realPutAt("RowHeight", 12, 15),
    textPut("Text", "Ellipse"),
    // The sheet's settings and sizes.
    longPut("VisibleCols", 2), longPut("VisibleRows", 13), longPut("AutoSize", 1), realPutAt("ColWidth", 1, 12), realPutAt("ColWidth", 2, 25),
    realPutAt("RowHeight", 7, 32), {"RowHeight", Sent::FittedRowHeight, 0, {}, 11}, longPut("ScrollBars", 0),
};
// clang-format on

// A number as the grid's call log writes it.
inline std::string logNumber(double n) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, n);
  return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

// The lines the grid's call log receives for the steps, the picture loaded from `picture`. A
// line ending in '*' stands for any line that begins with the rest (a measured height depends on
// the backend's font).
inline std::vector<std::string> CallLogLines(std::string_view picture = kPictureName) {
  std::vector<std::string> lines;
  for (const Step& s : kSteps) {
    const std::string member(s.member), index = "(I4:" + std::to_string(s.index) + ")";
    switch (s.sent) {
      case Sent::Short: lines.push_back("put " + member + " = I2:" + logNumber(s.number)); break;
      case Sent::Long: lines.push_back("put " + member + " = I4:" + logNumber(s.number)); break;
      case Sent::Real: lines.push_back("put " + member + " = R8:" + logNumber(s.number)); break;
      case Sent::RealAt: lines.push_back("put " + member + index + " = R8:" + logNumber(s.number)); break;
      case Sent::Text: lines.push_back("put " + member + " = BSTR:\"" + std::string(s.text) + "\""); break;
      case Sent::Picture:
        lines.push_back("put CellType = I2:9");
        lines.push_back("call LoadPicture(BSTR:\"" + std::string(picture) + "\",I4:0) -> DISPATCH:object");
        lines.push_back("put TypePictPicture = DISPATCH:object");
        break;
      case Sent::FittedRowHeight:
        lines.push_back("get MaxTextRowHeight" + index + " -> R8:*");
        lines.push_back("put " + member + index + " = R8:*");
        break;
    }
  }
  return lines;
}

}  // namespace kestrel::testing::sample_sheet
