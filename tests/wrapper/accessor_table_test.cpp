// The accessor table against the grid's property lists written out here on their own: every
// accessor exactly once, with the type, access, index and default of its list, the counts per
// type, the class order, the property texts that differ from the names, and the four accessors
// without the attachment test. Also the method table's order, modes, guards and defaults.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/ascii.h"
#include "wrapper/accessors.h"
#include "wrapper/methods.h"

namespace kestrel::wrapper::testing {
namespace {

constexpr const char* kShort =
    "ActiveSheet, AllowCellOverflow, AllowColMove, AllowDragDrop, AllowEditOverflow, AllowMultiBlocks, AllowRowMove, AllowUserFormulas, "
    "AllowUserZoom, ArrowsExitEditMode, BackColorStyle, BorderStyle, CellType, ChangeMade, ColHeadersShow, ColHidden, ColPageBreak, "
    "DataFillEvent, DAutoCellTypes, DAutoFill, DAutoHeadings, DAutoSave, DInformActiveRowChange, EditMode, EditModePermanent, "
    "EditModeReplace, FontBold, FontItalic, FontStrikethru, FontUnderline, FormulaSync, GridShowHoriz, GridShowVert, GridSolid, Lock, "
    "MoveActiveOnFocus, NoBeep, NoBorder, PageBorderWidth, PageMultiCntH, PageMultiCntV, PageShadowWidth, PageViewPercentage, "
    "PrintBestFitPagesTall, PrintBestFitPagesWide, PrintBorder, PrintCenterOnPageH, PrintCenterOnPageV, PrintColHeaders, PrintColor, "
    "PrintGrid, PrintPageEnd, PrintPageStart, PrintRowHeader, PrintShadows, PrintType, PrintUseDataMax, ProcessTab, Protect, "
    "RowHeadersShow, RowHidden, RowPageBreak, ScriptEnhanced, ScrollBarExtMode, ScrollBarHeight, ScrollBarMaxAlign, ScrollBarShowMax, "
    "ScrollBarWidth, SelModeSelected, Sheet, SheetCount, SheetVisible, TabStripLeftSheet, TwoDigitYearMa, TypeButtonShadowSize, "
    "TypeCheckCenter, TypeComboBoxCurSel, TypeComboBoxEditable, TypeComboBoxIndex, TypeComboBoxMaxDrop, TypeComboBoxWidth, "
    "TypeCurrencyDecPlaces, TypeCurrencyShowSep, TypeCurrencyShowSymbol, TypeDateCentury, TypeDateFormat, TypeDateSeparator, "
    "TypeEditMultiLine, TypeEditPassword, TypeEllipses, TypeHAlign, TypeMaxEditLen, TypeNegRed, TypeNumberDecPlaces, TypeNumberShowSep, "
    "TypePercentDecPlaces, TypePictCenter, TypePictMaintainScale, TypePictStretch, TypeScientificDecPlaces, TypeSpin, TypeSpinWrap, "
    "TypeTextPrefix, TypeTextShadow, TypeTextShadowIn, TypeTextWordWrap, TypeTime24Hour, TypeTimeSeconds, TypeTimeSeparator, "
    "UserColAction, VirtualMode, VirtualScrollBuffer, VScrollSpecial";
constexpr const char* kLong =
    "ActiveCellHighlightStyle, AppearanceStyle, AutoSize, BackColor, ButtonDrawMode, CellNoteIndicator, ClipboardOptions, Col, Col2, "
    "ColHeaderRows, ColHeadersAutoText, ColHeadersAutoTextIndex, ColHeadersUserSortIndex, ColMerge, ColsFrozen, CursorStyle, "
    "CursorType, DAutoSizeCols, EditEnterAction, FontSize, ForeColor, GrayAreaMarginH, GrayAreaMarginType, GrayAreaMarginV, hDCPrinter, "
    "hWndSpread, LeftCol, MaxCols, MaxRows, OperationMode, PageCurrent, PageGutterH, PageGutterV, PageViewType, PrintFirstPageNumber, "
    "PrintMarginBottom, PrintMarginLeft, PrintMarginRight, PrintMarginTop, PrintOrientation, PrintPageOrder, PrintScalingMethod, Row, "
    "Row2, RowHeaderCols, RowHeadersAutoText, RowHeadersAutoTextIndex, RowMerge, RowsFrozen, ScrollBarH, ScrollBars, ScrollBarTrack, "
    "ScrollBarV, ScrollIncH, ScrollIncV, SelectBlockOptions, SelLength, SelModeIndex, SelStart, ShowScrollTips, SortKey, SortKeyOrder, "
    "StartingColNumber, StartingRowNumber, TabStripPolicy, TextTip, TextTipDelay, TopRow, TypeButtonAlign, TypeButtonType, "
    "TypeCheckTextAlign, TypeCheckType, TypeComboBoxAutoSearch, TypeComboBoxhWnd, TypeCurrencyLeadingZero, TypeCurrencyNegStyle, "
    "TypeCurrencyPosStyle, TypeEditCharCase, TypeEditCharSet, TypeEditLen, TypeNumberLeadingZero, TypeNumberNegStyle, "
    "TypeOwnerDrawStyle, TypePercentLeadingZero, TypePercentNegStyle, TypeTextOrient, TypeVAlign, UnitType, UserResize, UserResizeCol, "
    "UserResizeRow, VirtualMaxRows, VirtualOverlap, VirtualRows, VisibleCols, VisibleRows, VScrollSpecialType, ZoomState";
constexpr const char* kColour =
    "GrayAreaBackColor, GrayAreaColor, GridColor, LockBackColor, LockForeColor, PageBorderColor, PageShadowColor, ScrollBarHColor, "
    "ScrollBarVColor, SelBackColor, SelForeColor, ShadowColor, ShadowDark, ShadowText, TypeButtonBorderColor, TypeButtonColor, "
    "TypeButtonDarkColor, TypeButtonLightColor, TypeButtonTextColor";
constexpr const char* kByte = "BlockMode";
constexpr const char* kReal =
    "TabStripRatio, TypeCurrencyMax, TypeCurrencyMin, TypeNumberMax, TypeNumberMin, TypePercentMax, TypePercentMin, TypeScientificMax, "
    "TypeScientificMin, TypeSpinInc";
constexpr const char* kText =
    "CellNote, ColID, DataField, FontName, Formula, PrintAbortMsg, PrintFooter, PrintHeader, PrintJobName, SelText, SheetName, Text, "
    "TypeButtonText, TypeCheckText, TypeComboBoxList, TypeComboBoxString, TypeCurrencyDecimal, TypeCurrencySeparator, "
    "TypeCurrencySymbol, TypeDateMax, TypeDateMin, TypeNumberDecimal, TypeNumberSeparator, TypePercentDecimal, TypePicDefaultText, "
    "TypePicMask, TypeScientificDecimal, TypeTimeMax, TypeTimeMin";
constexpr const char* kReadOnlyLong =
    "ActiveCol, ActiveRow, DataColCnt, DataRowCnt, IsBlockSelected, PrintNextPageBreakCol, PrintNextPageBreakRow, PrintPageCount, "
    "SelBlockCol, SelBlockCol2, SelBlockRow, SelBlockRow2, SelectionCount, SheetSendingEvent, VirtualCurRowCount, VirtualCurTop";
constexpr const char* kReadOnlyShort = "DataChanged, PagePercentageActual, PagesPerScreen, TypeComboBoxCount";
constexpr const char* kReadOnlyReal = "MaxTextCellHeight, MaxTextCellWidth";
constexpr const char* kMinusOne =
    "ActiveSheet, AllowCellOverflow, AllowColMove, AllowDragDrop, AllowEditOverflow, AllowMultiBlocks, AllowRowMove, AllowUserFormulas, "
    "AllowUserZoom, AppearanceStyle, ArrowsExitEditMode, AutoSize, BackColor, BorderStyle, ButtonDrawMode, CellNote, CellNoteIndicator, "
    "ChangeMade, TypeHAlign, ZoomState";

std::vector<std::string> namesOf(std::string_view list) {
  std::vector<std::string> out;
  for (std::size_t start = 0; start < list.size();) {
    const std::size_t comma = std::min(list.find(", ", start), list.size());
    out.emplace_back(list.substr(start, comma - start));
    start = comma + 2;
  }
  return out;
}

// Where an accessor should land, by the list that names it.
struct Expected {
  ValueType type;
  Shape shape;
};

std::map<std::string, Expected> expectedAccessors() {
  std::map<std::string, Expected> e;
  const auto add = [&e](const char* list, ValueType type, Shape shape) {
    for (const std::string& n : namesOf(list)) EXPECT_TRUE(e.emplace(n, Expected{type, shape}).second) << n << " listed twice";
  };
  add(kShort, ValueType::Short, Shape::RW);
  add(kLong, ValueType::Long, Shape::RW);
  add(kColour, ValueType::Colour, Shape::RW);
  add(kByte, ValueType::Byte, Shape::RW);
  add(kReal, ValueType::Real, Shape::RW);
  add("MaxTextColWidth", ValueType::RealLong, Shape::RW);
  add(kText, ValueType::Text, Shape::RW);
  add("CellString, ClipboardValue, Value", ValueType::Text, Shape::RW);
  add("CharValue", ValueType::StopText, Shape::RW);
  add(kReadOnlyLong, ValueType::Long, Shape::RO);
  add(kReadOnlyShort, ValueType::Short, Shape::RO);
  add(kReadOnlyReal, ValueType::Real, Shape::RO);
  add("ColUserSortIndicator", ValueType::Long, Shape::RWIndexed);
  add("ColWidth, RowHeight", ValueType::Real, Shape::RWIndexed);
  add("EventEnabled", ValueType::Short, Shape::RWIndexed);
  add("MaxTextRowHeight", ValueType::Real, Shape::ROIndexed);
  return e;
}

TEST(AccessorTable, HoldsEveryListedAccessorOnceWithItsTypeAndShape) {
  const std::map<std::string, Expected> expected = expectedAccessors();
  ASSERT_EQ(expected.size(), 302u);
  ASSERT_EQ(Accessors().size(), 302u);
  std::set<std::string_view> seen;
  for (const Accessor& a : Accessors()) {
    EXPECT_TRUE(seen.insert(a.name).second) << a.name << " twice in the table";
    const auto it = expected.find(std::string(a.name));
    ASSERT_NE(it, expected.end()) << a.name << " is in no list";
    EXPECT_EQ(a.type, it->second.type) << a.name;
    EXPECT_EQ(a.shape, it->second.shape) << a.name;
  }
}

TEST(AccessorTable, CountsPerTypeAreTheLists) {
  std::map<std::pair<ValueType, Shape>, int> counts;
  int indexed = 0;
  for (const Accessor& a : Accessors()) {
    if (a.indexed()) ++indexed;
    else ++counts[std::pair(a.type == ValueType::StopText ? ValueType::Text : a.type, a.shape)];
  }
  EXPECT_EQ(counts[std::pair(ValueType::Short, Shape::RW)], 113);
  EXPECT_EQ(counts[std::pair(ValueType::Long, Shape::RW)], 98);
  EXPECT_EQ(counts[std::pair(ValueType::Colour, Shape::RW)], 19);
  EXPECT_EQ(counts[std::pair(ValueType::Byte, Shape::RW)], 1);
  EXPECT_EQ(counts[std::pair(ValueType::Real, Shape::RW)], 10);
  EXPECT_EQ(counts[std::pair(ValueType::RealLong, Shape::RW)], 1);
  EXPECT_EQ(counts[std::pair(ValueType::Text, Shape::RW)], 33);
  EXPECT_EQ(counts[std::pair(ValueType::Long, Shape::RO)], 16);
  EXPECT_EQ(counts[std::pair(ValueType::Short, Shape::RO)], 4);
  EXPECT_EQ(counts[std::pair(ValueType::Real, Shape::RO)], 2);
  EXPECT_EQ(indexed, 5);
}

TEST(AccessorTable, ClassOrderIsByNameWithoutCaseButPrintPageStartBeforePrintPageOrder) {
  std::vector<std::string> names;
  for (const Accessor& a : Accessors()) names.emplace_back(a.name);
  const auto start = std::find(names.begin(), names.end(), "PrintPageStart");
  const auto order = std::find(names.begin(), names.end(), "PrintPageOrder");
  ASSERT_LT(start, order);
  EXPECT_EQ(order - start, 1);
  std::vector<std::string> sorted = names;
  std::iter_swap(std::find(sorted.begin(), sorted.end(), "PrintPageStart"), std::find(sorted.begin(), sorted.end(), "PrintPageOrder"));
  for (std::size_t i = 1; i < sorted.size(); ++i)
    EXPECT_TRUE(platform::ascii::lessNoCase(sorted[i - 1], sorted[i])) << sorted[i - 1] << " before " << sorted[i];
  // The four accessors of "Value" under their own names.
  const auto after = [&names](const char* name) { return *(std::find(names.begin(), names.end(), name) + 1); };
  EXPECT_EQ(after("CellNoteIndicator"), "CellString");
  EXPECT_EQ(after("ChangeMade"), "CharValue");
  EXPECT_EQ(after("ClipboardOptions"), "ClipboardValue");
  EXPECT_EQ(after("UserResizeRow"), "Value");
}

TEST(AccessorTable, PropertyTextsDefaultsAndTheAttachmentTest) {
  const std::vector<std::string> minusOne = namesOf(kMinusOne);
  ASSERT_EQ(minusOne.size(), 20u);
  const std::set<std::string> untested{"UserColAction", "VisibleCols", "VisibleRows", "Value"};
  for (const Accessor& a : Accessors()) {
    const std::string name(a.name);
    const bool isValue = name == "CellString" || name == "ClipboardValue" || name == "Value" || name == "CharValue";
    EXPECT_EQ(a.property, isValue ? "Value" : name) << name;
    EXPECT_EQ(a.readProperty, name == "TypeHAlign" ? "TypehAlign" : std::string(a.property)) << name;
    const Default want = std::count(minusOne.begin(), minusOne.end(), name) ? Default::MinusOne
                         : name == "FontName" || name == "Formula"          ? Default::Empty
                                                                            : Default::Zero;
    EXPECT_EQ(a.fallback, want) << name;
    EXPECT_EQ(a.attachment, untested.count(name) ? Attachment::Untested : Attachment::Tested) << name;
  }
}

TEST(MethodTable, ThirtyFiveCallsInTableOrderWithTheirGuards) {
  const char* order[] = {"AddCellSpan",
                         "AddSelection",
                         "ClearRange",
                         "ColLetterToNumber",
                         "ColNumberToText",
                         "DeleteCols",
                         "DeleteRows",
                         "ExportExcelBook",
                         "ExportExcelBookEx",
                         "ExportRangeToHTML",
                         "ExportRangeToTextFile",
                         "ExportRangeToTextFileU",
                         "ExportRangeToXML",
                         "ExportToExcel",
                         "ExportToExcelEx",
                         "ExportToHTML",
                         "ExportToTextFile",
                         "ExportToTextFileU",
                         "ExportToXML",
                         "ImportExcelBook",
                         "IsExcelFile",
                         "LoadFromFile",
                         "LoadTabFile",
                         "LoadTextFile",
                         "PrintSheet",
                         "Refresh",
                         "Reset",
                         "SaveTabFile",
                         "SaveTabFileU",
                         "SaveToFile",
                         "SearchCol",
                         "SearchRow",
                         "SetActiveCell",
                         "SetSelection",
                         "ShowCell"};
  ASSERT_EQ(Methods().size(), std::size(order));
  const std::set<std::string> guarded{"AddCellSpan",  "AddSelection", "ClearRange", "ColLetterToNumber", "ColNumberToText", "DeleteCols",
                                      "DeleteRows",   "Refresh",      "Reset",      "SearchCol",         "SearchRow",       "SetActiveCell",
                                      "SetSelection", "ShowCell"};
  const std::set<std::string> performed{"AddSelection", "ClearRange", "DeleteCols",    "DeleteRows",   "PrintSheet",
                                        "Refresh",      "Reset",      "SetActiveCell", "SetSelection", "ShowCell"};
  for (std::size_t i = 0; i < std::size(order); ++i) {
    const Method& m = Methods()[i];
    EXPECT_EQ(m.operation, order[i]);
    EXPECT_EQ(m.guard == Guard::Guarded, guarded.count(order[i]) == 1) << order[i];
    EXPECT_EQ(m.mode == Mode::Perform, performed.count(order[i]) == 1) << order[i];
    EXPECT_EQ(m.result == Result::None, m.mode == Mode::Perform) << order[i];
    EXPECT_EQ(m.name, m.operation == "ColNumberToText" ? "ColLetterToNumber" : m.operation);
    EXPECT_EQ(m.fallback, m.operation.starts_with("Search") ? -1 : 0) << order[i];
    EXPECT_EQ(m.then == Then::MaxSize500, m.operation.starts_with("Load")) << order[i];
  }
}

}  // namespace
}  // namespace kestrel::wrapper::testing
