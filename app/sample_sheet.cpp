#include "app/sample_sheet.h"

#include "runtime/value/decimal.h"
#include "wrapper/spread_wrapper.h"

namespace kestrel {

namespace {

// The grid's cell type numbers.
enum CellTypeNumber : std::int16_t {
  CellDate = 0,
  CellEdit = 1,
  CellPicMask = 4,
  CellStaticText = 5,
  CellTime = 6,
  CellButton = 7,
  CellComboBox = 8,
  CellPicture = 9,
  CellCheckBox = 10,
  CellOwnerDrawn = 11,
  CellCurrency = 12,
  CellNumber = 13,
  CellPercent = 14,
};

constexpr std::string_view kLabels[] = {"Date",        "Edit", "Currency", "Number",    "Percent", "PIC(Mask)",
                                        "Static text", "Time", "Button",   "Combo Box", "Picture", "Check Box"};

constexpr std::int16_t kColonSeparator = 58;

// A real number as the runtime turns it into text: at most 15 significant digits.
std::string realAsText(double value) { return tamsil::decimalToText(tamsil::decimalFromDouble(value)); }

void at(wrapper::SpreadWrapper& s, std::int32_t row, std::int32_t col) {
  s.Row(row);
  s.Col(col);
}

}  // namespace

void FillSampleSheet(wrapper::SpreadWrapper& s) {
  s.AppearanceStyle(2);
  s.MaxRows(13);
  s.MaxCols(2);
  at(s, -1, 1);
  s.CellType(CellStaticText);
  for (std::int32_t row = 1; std::string_view label : kLabels) {
    at(s, row++, 1);
    s.Text(label);
  }

  at(s, 1, 2);
  s.CellType(CellDate);
  s.TypeDateCentury(0);
  s.TypeHAlign(0);
  s.TypeSpin(0);
  s.TypeDateFormat(2);
  s.TypeDateMin("01011900");
  s.TypeDateMax("12312199");
  s.Text("12/23/96");

  at(s, 2, 2);
  s.CellType(CellEdit);
  s.TypeEditLen(255);
  s.Text("Type in me");

  at(s, 3, 2);
  s.CellType(CellCurrency);
  s.TypeCurrencyMin(-9999.0);
  s.TypeCurrencyMax(9999.0);
  s.Text("1000.00");

  at(s, 4, 2);
  s.CellType(CellNumber);
  s.TypeNumberMax(9999.0);
  s.TypeNumberMin(-9999.0);
  s.Text("1234");

  at(s, 5, 2);
  s.CellType(CellPercent);
  s.TypePercentMax(100.0);
  s.TypePercentMin(0.1);
  s.Text(realAsText(0.25));

  at(s, 6, 2);
  s.CellType(CellPicMask);
  s.TypePicMask("(999) 999-9999");
  s.Text("(123) 456-7890");

  at(s, 7, 2);
  s.CellType(CellStaticText);
  s.Text("This is a static text celltype. The property TypeTextWordWrap is used for wrapping.");
  s.TypeTextWordWrap(1);

  at(s, 8, 2);
  s.CellType(CellTime);
  s.TypeTime24Hour(0);
  s.TypeTimeSeconds(0);
  s.TypeTimeSeparator(kColonSeparator);
  s.Text("01:23 am");

  // The row heights below go to the row before the one being filled, which is what the sheet
  // has always shown.
  at(s, 9, 2);
  s.CellType(CellButton);
  s.TypeButtonText("Press me");
  s.RowHeight(8, 35.0);

  at(s, 10, 2);
  s.CellType(CellComboBox);
  s.TypeComboBoxList("Item1\tItem2\tItem3");

  at(s, 11, 2);
  s.CellType(CellPicture);
  s.TypePictCenter(1);
  s.TypePictStretch(1);
  s.TypePictMaintainScale(1);
  s.NewCellPicture(kSamplePicture);
  s.RowHeight(10, 45.0);

  at(s, 12, 2);
  s.CellType(CellCheckBox);
  s.TypeCheckText("Check me");

  at(s, 13, 2);
  s.CellType(CellOwnerDrawn);
  s.TypeOwnerDrawStyle(1);
  s.RowHeight(12, 15.0);
  s.Text("Ellipse");

  s.VisibleCols(2);
  s.VisibleRows(13);
  s.AutoSize(1);
  s.ColWidth(1, 12.0);
  s.ColWidth(2, 25.0);
  s.RowHeight(7, 32.0);
  s.RowHeight(11, s.MaxTextRowHeight(11));
  s.ScrollBars(0);
}

}  // namespace kestrel
