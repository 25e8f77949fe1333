#include "tests/spread_files/sample_sheet.h"

#include <fstream>

#include "tests/spread/sample_sheet_fill.h"
#include "tests/spread/spread_test_support.h"

namespace spread::files {

using namespace spread::test;

void FillSampleSheet(AddressedBook& book, const std::string& pictureFile) {
  // A PNG header of 16 x 8 pixels is all the model reads.
  const unsigned char png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D',
                               'R',  0,   0,   0,   16,   0,    0,    0,    8, 8, 2, 0,  0,   0};
  std::ofstream(pictureFile, std::ios::binary).write(reinterpret_cast<const char*>(png), sizeof png);
  test::FillSampleSheet(book, pictureFile);
  // A choice in the combo box, the check box ticked, and a header and footer for the printouts.
  const auto put = [&](std::string_view name, platform::VARIANT v) { EXPECT_EQ(Put(book, name, {v}), platform::S_OK) << name; };
  At(book, 10, 2);
  put("Text", Str("Item2"));
  At(book, 12, 2);
  put("Text", Str("1"));
  put("PrintHeader", Str("/fb1H E A D E R/fb0"));
  put("PrintFooter", Str("/fb1F O O T E R/fb0"));
}

}  // namespace spread::files
