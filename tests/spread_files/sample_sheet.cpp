#include "tests/spread_files/sample_sheet.h"

#include <fstream>
#include <span>

#include "tests/spread/spread_test_support.h"

namespace spread::files {

using namespace spread::test;

void FillSampleSheet(AddressedBook& book, const std::string& pictureFile) {
  const auto put = [&](std::string_view name, platform::VARIANT v) { EXPECT_EQ(Put(book, name, {v}), platform::S_OK) << name; };
  const auto putAt = [&](std::string_view name, std::int32_t i, platform::VARIANT v) {
    EXPECT_EQ(Put(book, name, {I4(i), v}), platform::S_OK) << name;
  };
  put("MaxRows", I4(13));
  put("MaxCols", I4(2));
  At(book, -1, 1);
  put("CellType", I2(5));
  const char* labels[] = {"Date", "Edit",   "Currency",  "Number",  "Percent",   "PIC(Mask)", "Static text",
                          "Time", "Button", "Combo Box", "Picture", "Check Box", "Owner"};
  for (int r = 1; r <= 13; ++r) {
    At(book, r, 1);
    put("Text", Str(labels[r - 1]));
  }
  struct Step {
    std::int32_t row;
    std::int16_t type;
    const char* text;
  };
  const Step steps[] = {{1, 0, "12/23/96"},
                        {2, 1, "Type in me"},
                        {3, 12, "1000.00"},
                        {4, 13, "1234"},
                        {5, 14, ".25"},
                        {6, 4, nullptr},
                        {7, 5, "This is a static text cell."},
                        {8, 6, "01:23 am"},
                        {9, 7, nullptr},
                        {10, 8, "Item2"},
                        {11, 9, nullptr},
                        {12, 10, "1"},
                        {13, 11, "Ellipse"}};
  put("Col", I4(2));
  for (const Step& s : steps) {
    put("Row", I4(s.row));
    put("CellType", I2(s.type));
    switch (s.row) {
      case 2: put("TypeEditLen", I4(255)); break;
      case 3:
        put("TypeCurrencyMin", R8(-9999.0));
        put("TypeCurrencyMax", R8(9999.0));
        break;
      case 6:
        put("TypePicMask", Str("(999) 999-9999"));
        put("Text", Str("(123) 456-7890"));
        break;
      case 7: put("TypeTextWordWrap", I2(1)); break;
      case 9: put("TypeButtonText", Str("Press me")); break;
      case 10: put("TypeComboBoxList", Str("Item1\tItem2\tItem3")); break;
      case 11: {
        // A PNG header of 16 x 8 pixels is all the model reads.
        const unsigned char png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D',
                                     'R',  0,   0,   0,   16,   0,    0,    0,    8, 8, 2, 0,  0,   0};
        std::ofstream(pictureFile, std::ios::binary).write(reinterpret_cast<const char*>(png), sizeof png);
        put("TypePictCenter", I2(1));
        platform::Variant picture;
        ASSERT_EQ(CallMethod(book, "LoadPicture", {Str(pictureFile), I2(0)}, &picture), platform::S_OK);
        const MemberInfo* cellPicture = FindMember(kCellPictureDispid);
        ASSERT_NE(cellPicture, nullptr);
        ASSERT_EQ(InvokeMember(book, *cellPicture, platform::DISPATCH_PROPERTYPUT, std::span(picture.get(), 1), nullptr, nullptr),
                  platform::S_OK);
        break;
      }
      case 12: put("TypeCheckText", Str("Check me")); break;
      default: break;
    }
    if (s.text) put("Text", Str(s.text));
  }
  putAt("ColWidth", 1, R8(12.0));
  putAt("ColWidth", 2, R8(25.0));
  putAt("RowHeight", 7, R8(32.0));
  put("VisibleCols", I4(2));
  put("ScrollBars", I4(0));
  put("PrintHeader", Str("/fb1H E A D E R/fb0"));
  put("PrintFooter", Str("/fb1F O O T E R/fb0"));
}

}  // namespace spread::files
