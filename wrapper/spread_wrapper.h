// SpreadWrapper: the grid on a window, reached only as control COLE of window W through the
// runtime's automation bridge. Init creates the grid in the window's OLE control and Kill lets it
// go; in between every accessor and call sends its property text or call text to the grid at
// once, nothing cached. The typed face below is expanded from the accessor table
// (accessor_list.inc) in its order; the method calls follow the method table (method_list.inc).
//
// Accessor shapes: a read-write scalar `Name()` reads and `Name(value)` writes; an indexed one
// takes the index first (`ColWidth(2)`, `ColWidth(2, 12.0)`); a text accessor reads a text and
// writes a text without its trailing blanks. Before Init an accessor sends nothing and answers
// its default, except the four without the attachment test (UserColAction, VisibleCols,
// VisibleRows, Value), which go to the bridge anyway.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "wrapper/accessors.h"
#include "wrapper/com_result_checker.h"
#include "wrapper/methods.h"
#include "wrapper/read_conversion.h"
#include "wrapper/text_utility.h"
#include "wrapper/wrapper_bridge.h"

namespace kestrel::wrapper {

inline constexpr std::string_view kSpreadProgId = "OVSpreadADO.ovSpread.6";
inline constexpr std::string_view kControlNotFound = "OstrevaneSpread control not found! Check your OstrevaneSpread installation";
inline constexpr std::string_view kControlNotFoundCaption = "Error";
// The grid's member for the picture of the addressed cell, written by NewCellPicture.
inline constexpr std::int32_t kCellPictureDispid = 178;
inline constexpr std::int16_t kPictureCellType = 9;
// Sizes of the zero-terminated texts written with a type: the object text Kill hands back, the
// value CharValue writes.
inline constexpr std::size_t kObjectTextSize = 64, kCharValueSize = 512;

// The C++ types of an accessor's value: what a read answers and what a write takes.
template <ValueType T>
struct ValueTraits;
template <>
struct ValueTraits<ValueType::Byte> {
  using Read = std::uint8_t;
  using Write = std::uint8_t;
};
template <>
struct ValueTraits<ValueType::Short> {
  using Read = std::int16_t;
  using Write = std::int16_t;
};
template <>
struct ValueTraits<ValueType::Long> {
  using Read = std::int32_t;
  using Write = std::int32_t;
};
template <>
struct ValueTraits<ValueType::Colour> {
  using Read = std::uint32_t;
  using Write = std::uint32_t;
};
template <>
struct ValueTraits<ValueType::Real> {
  using Read = double;
  using Write = double;
};
template <>
struct ValueTraits<ValueType::RealLong> {
  using Read = double;
  using Write = std::int32_t;
};
template <>
struct ValueTraits<ValueType::Text> {
  using Read = std::string;
  using Write = std::string_view;
};
template <>
struct ValueTraits<ValueType::StopText> : ValueTraits<ValueType::Text> {};

class SpreadWrapper {
 public:
  SpreadWrapper() = default;
  virtual ~SpreadWrapper() = default;
  SpreadWrapper(const SpreadWrapper&) = delete;
  SpreadWrapper& operator=(const SpreadWrapper&) = delete;

  // Creates the grid in OLE control `field` of the open window; when the grid cannot be made it
  // says so in a message box and stays attached to the empty control.
  void Init(tamsil::window::Window& window, std::int16_t field);
  // Hands the grid's object text back (Release) and deactivates the control. Does nothing on a
  // wrapper whose Init never ran, and nothing a second time.
  void Kill();

  // Sends everything through `bridge` from now on (tests and benchmarks watch it there).
  void UseBridge(GridBridge& bridge) { bridge_ = &bridge; }

#define KESTREL_GRID_RW(name, type)                                                                           \
  ValueTraits<ValueType::type>::Read name() { return read<ValueType::type>(AccessorId::name, std::nullopt); } \
  void name(ValueTraits<ValueType::type>::Write value) { write<ValueType::type>(AccessorId::name, std::nullopt, value); }
#define KESTREL_GRID_RO(name, type) \
  ValueTraits<ValueType::type>::Read name() { return read<ValueType::type>(AccessorId::name, std::nullopt); }
#define KESTREL_GRID_RWIndexed(name, type)                                                                               \
  ValueTraits<ValueType::type>::Read name(std::int32_t index) { return read<ValueType::type>(AccessorId::name, index); } \
  void name(std::int32_t index, ValueTraits<ValueType::type>::Write value) { write<ValueType::type>(AccessorId::name, index, value); }
#define KESTREL_GRID_ROIndexed(name, type) \
  ValueTraits<ValueType::type>::Read name(std::int32_t index) { return read<ValueType::type>(AccessorId::name, index); }
#define X(name, property, readProperty, type, shape, fallback, attachment) KESTREL_GRID_##shape(name, type)
#include "wrapper/accessor_list.inc"
#undef X
#undef KESTREL_GRID_RW
#undef KESTREL_GRID_RO
#undef KESTREL_GRID_RWIndexed
#undef KESTREL_GRID_ROIndexed

  // Puts the picture in FILE into the current cell (picture kind 0 when none is given): the cell
  // becomes a picture cell, the grid loads the file, and its picture object is written to the
  // cell's picture property through the grid's own dispatch interface. A blank file name, or a
  // wrapper not attached, does nothing.
  void NewCellPicture(std::string_view file, std::optional<std::int32_t> kind = std::nullopt);

  // The method calls, in the order of the method table.
  std::int16_t AddCellSpan(std::int32_t col, std::int32_t row, std::int32_t cols, std::int32_t rows) {
    return std::int16_t(call(MethodId::AddCellSpan, {col, row, cols, rows}).number);
  }
  void AddSelection(std::int32_t col, std::int32_t row, std::int32_t col2, std::int32_t row2) {
    call(MethodId::AddSelection, {col, row, col2, row2});
  }
  void ClearRange(std::int32_t col, std::int32_t row, std::int32_t col2, std::int32_t row2, std::int16_t dataOnly) {
    call(MethodId::ClearRange, {col, row, col2, row2, dataOnly});
  }
  std::int32_t ColLetterToNumber(std::string_view letters) { return call(MethodId::ColLetterToNumber, {letters}).number; }
  std::string ColNumberToText(std::int32_t col) { return call(MethodId::ColNumberToText, {col}).text; }
  void DeleteCols(std::int32_t col, std::int32_t count) { call(MethodId::DeleteCols, {col, count}); }
  void DeleteRows(std::int32_t row, std::int32_t count) { call(MethodId::DeleteRows, {row, count}); }
  std::int16_t ExportExcelBook(std::string_view file, std::string_view log) {
    return std::int16_t(call(MethodId::ExportExcelBook, {file, log}).number);
  }
  std::int16_t ExportExcelBookEx(std::string_view file, std::string_view log, std::int16_t flags) {
    return std::int16_t(call(MethodId::ExportExcelBookEx, {file, log, flags}).number);
  }
  std::int16_t ExportRangeToHTML(std::int32_t col, std::int32_t row, std::int32_t col2, std::int32_t row2, std::string_view file,
                                 std::int32_t append, std::string_view log) {
    return std::int16_t(call(MethodId::ExportRangeToHTML, {col, row, col2, row2, file, append, log}).number);
  }
  std::int16_t ExportRangeToTextFile(std::int32_t col, std::int32_t row, std::int32_t col2, std::int32_t row2, std::string_view file,
                                     std::string_view cellDelimiter, std::string_view colDelimiter, std::string_view rowDelimiter,
                                     std::int32_t flags, std::string_view log) {
    return std::int16_t(
        call(MethodId::ExportRangeToTextFile, {col, row, col2, row2, file, cellDelimiter, colDelimiter, rowDelimiter, flags, log}).number);
  }
  std::int16_t ExportRangeToTextFileU(std::int32_t col, std::int32_t row, std::int32_t col2, std::int32_t row2, std::string_view file,
                                      std::string_view cellDelimiter, std::string_view colDelimiter, std::string_view rowDelimiter,
                                      std::int32_t flags, std::string_view log) {
    return std::int16_t(
        call(MethodId::ExportRangeToTextFileU, {col, row, col2, row2, file, cellDelimiter, colDelimiter, rowDelimiter, flags, log}).number);
  }
  std::int16_t ExportRangeToXML(std::int32_t col, std::int32_t row, std::int32_t col2, std::int32_t row2, std::string_view file,
                                std::string_view root, std::string_view collection, std::int32_t flags, std::string_view log) {
    return std::int16_t(call(MethodId::ExportRangeToXML, {col, row, col2, row2, file, root, collection, flags, log}).number);
  }
  std::int16_t ExportToExcel(std::string_view file, std::string_view sheet, std::string_view log) {
    return std::int16_t(call(MethodId::ExportToExcel, {file, sheet, log}).number);
  }
  std::int16_t ExportToExcelEx(std::string_view file, std::string_view sheet, std::string_view log, std::int16_t flags) {
    return std::int16_t(call(MethodId::ExportToExcelEx, {file, sheet, log, flags}).number);
  }
  std::int16_t ExportToHTML(std::string_view file, std::int32_t append, std::string_view log) {
    return std::int16_t(call(MethodId::ExportToHTML, {file, append, log}).number);
  }
  std::int16_t ExportToTextFile(std::string_view file, std::string_view cellDelimiter, std::string_view colDelimiter,
                                std::string_view rowDelimiter, std::int32_t flags, std::string_view log) {
    return std::int16_t(call(MethodId::ExportToTextFile, {file, cellDelimiter, colDelimiter, rowDelimiter, flags, log}).number);
  }
  std::int16_t ExportToTextFileU(std::string_view file, std::string_view cellDelimiter, std::string_view colDelimiter,
                                 std::string_view rowDelimiter, std::int32_t flags, std::string_view log) {
    return std::int16_t(call(MethodId::ExportToTextFileU, {file, cellDelimiter, colDelimiter, rowDelimiter, flags, log}).number);
  }
  std::int16_t ExportToXML(std::string_view file, std::string_view root, std::string_view collection, std::int32_t flags,
                           std::string_view log) {
    return std::int16_t(call(MethodId::ExportToXML, {file, root, collection, flags, log}).number);
  }
  // Without a log file the second argument goes as an empty text.
  std::int32_t ImportExcelBook(std::string_view file, std::string_view log = {}) { return call(MethodId::ImportExcelBook, {file, log}).number; }
  std::int16_t IsExcelFile(std::string_view file) { return std::int16_t(call(MethodId::IsExcelFile, {file}).number); }
  // The three loads size the grid to 500 columns and 500 rows afterwards.
  std::int16_t LoadFromFile(std::string_view file) { return std::int16_t(call(MethodId::LoadFromFile, {file}).number); }
  std::int16_t LoadTabFile(std::string_view file) { return std::int16_t(call(MethodId::LoadTabFile, {file}).number); }
  std::int16_t LoadTextFile(std::string_view file, std::string_view cellDelimiter, std::string_view colDelimiter, std::string_view rowDelimiter,
                            std::int32_t flags, std::string_view log) {
    return std::int16_t(call(MethodId::LoadTextFile, {file, cellDelimiter, colDelimiter, rowDelimiter, flags, log}).number);
  }
  void PrintSheet(std::int32_t flags) { call(MethodId::PrintSheet, {flags}); }
  void Refresh() { call(MethodId::Refresh, {}); }
  void Reset() { call(MethodId::Reset, {}); }
  std::int16_t SaveTabFile(std::string_view file) { return std::int16_t(call(MethodId::SaveTabFile, {file}).number); }
  std::int16_t SaveTabFileU(std::string_view file) { return std::int16_t(call(MethodId::SaveTabFileU, {file}).number); }
  std::int16_t SaveToFile(std::string_view file, std::int32_t dataOnly) {
    return std::int16_t(call(MethodId::SaveToFile, {file, dataOnly}).number);
  }
  std::int32_t SearchCol(std::int32_t col, std::int32_t rowStart, std::int32_t rowEnd, std::string_view text, std::int32_t flags) {
    return call(MethodId::SearchCol, {col, rowStart, rowEnd, text, flags}).number;
  }
  std::int32_t SearchRow(std::int32_t row, std::int32_t colStart, std::int32_t colEnd, std::string_view text, std::int32_t flags) {
    return call(MethodId::SearchRow, {row, colStart, colEnd, text, flags}).number;
  }
  void SetActiveCell(std::int32_t col, std::int32_t row) { call(MethodId::SetActiveCell, {col, row}); }
  void SetSelection(std::int32_t col, std::int32_t row, std::int32_t col2, std::int32_t row2) {
    call(MethodId::SetSelection, {col, row, col2, row2});
  }
  void ShowCell(std::int32_t col, std::int32_t row, std::int32_t position) { call(MethodId::ShowCell, {col, row, position}); }

  // The answer of a method call: the number (a 32-bit conversion) and the text the grid gave, or
  // the method's default when it sent nothing.
  struct CallAnswer {
    std::int32_t number = 0;
    std::string text;
  };
  // Sends the method's call text with its mode; the named calls above go through it.
  CallAnswer call(MethodId id, std::initializer_list<MethodArgument> arguments);

  tamsil::window::Window* W = nullptr;         // the window holding the OLE control; set by Init
  std::int16_t COLE = 0;                       // its field number; 0 until Init: not attached
  std::string LOGFILENAME;                     // kept for the record layout; no operation uses it
  std::unique_ptr<TextUtility> STRCL;          // made by Init, dropped by Kill
  std::unique_ptr<ComResultChecker> STDCOMCL;  // made by Init; checks NewCellPicture's COM calls

 private:
  // The property text of an accessor, read or written, with its index.
  static std::string propertyText(const Accessor& a, bool reading, std::optional<std::int32_t> index);
  bool skips(const Accessor& a) const { return COLE == 0 && a.attachment == Attachment::Tested; }

  // The text the grid answers for the accessor; nothing when it is not attached.
  std::optional<std::string> readText(const Accessor& a, std::optional<std::int32_t> index);
  void writeTyped(const Accessor& a, std::optional<std::int32_t> index, std::uint8_t code, const void* address, std::size_t size);
  void writeText(const Accessor& a, std::optional<std::int32_t> index, std::string_view value);
  void writeShownText(const Accessor& a, std::optional<std::int32_t> index, std::string_view value);

  template <ValueType T>
  typename ValueTraits<T>::Read read(AccessorId id, std::optional<std::int32_t> index) {
    using R = typename ValueTraits<T>::Read;
    const Accessor& a = AccessorOf(id);
    const std::optional<std::string> text = readText(a, index);
    if constexpr (std::is_same_v<R, std::string>) {
      if (!text) return a.fallback == Default::MinusOne ? "-1" : a.fallback == Default::Empty ? "" : "0";
      return *text;
    } else {
      if (!text) return a.fallback == Default::MinusOne ? R(-1) : R(0);
      if constexpr (std::is_same_v<R, double>) return RealOf(*text);
      else if constexpr (std::is_same_v<R, std::uint32_t>) return ULongOf(*text);
      else return R(LongOf(*text));  // byte and short keep the low bits
    }
  }

  template <ValueType T>
  void write(AccessorId id, std::optional<std::int32_t> index, typename ValueTraits<T>::Write value) {
    const Accessor& a = AccessorOf(id);
    if constexpr (T == ValueType::Text) writeText(a, index, value);
    else if constexpr (T == ValueType::StopText) writeShownText(a, index, value);
    else writeTyped(a, index, CodeOf<typename ValueTraits<T>::Write>(), &value, sizeof value);
  }

  template <class V>
  static constexpr std::uint8_t CodeOf() {
    if constexpr (std::is_same_v<V, std::uint8_t>) return kByteCode;
    else if constexpr (std::is_same_v<V, std::int16_t>) return kShortCode;
    else if constexpr (std::is_same_v<V, std::int32_t>) return kLongCode;
    else if constexpr (std::is_same_v<V, std::uint32_t>) return kULongCode;
    else return kRealCode;
  }

  GridBridge* bridge_ = &GridBridge::Runtime();
  bool comOpen_ = false;  // Init's CoInitialize, matched by Kill's CoUninitialize
};

}  // namespace kestrel::wrapper
