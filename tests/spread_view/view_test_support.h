// Helpers of the grid view's tests: the Qt application on the offscreen platform, the demo's
// sheet fill sent through the member table with the wrapper's variant types, and the sample
// picture the fill loads.
#pragma once

#include <QApplication>
#include <string>

#include "components/spread/members/addressed_book.h"
#include "tests/spread/spread_test_support.h"

namespace spread::view::test {

// The application every view test runs in (offscreen unless QT_QPA_PLATFORM says otherwise).
QApplication& App();

// A picture file of 60 x 40 pixels: red with a blue band at the bottom, written once per run.
const std::string& SamplePicturePath();

// The demo's fill of the sample sheet (tests/support/sample_sheet.h): thirteen rows, one per
// cell type, labels in column 1.
void FillSampleSheet(AddressedBook& book, const std::string& picturePath);

// The rows of the sample sheet, by what they show.
enum SampleRow : std::int32_t {
  kDateRow = 1,
  kEditRow,
  kCurrencyRow,
  kNumberRow,
  kPercentRow,
  kMaskRow,
  kStaticRow,
  kTimeRow,
  kButtonRow,
  kComboRow,
  kPictureRow,
  kCheckRow,
  kOwnerDrawnRow
};

}  // namespace spread::view::test
