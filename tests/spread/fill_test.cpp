// The demo window's sheet fill (tests/support/sample_sheet.h), sent member by member by name with
// the variant types its wrapper uses, and the sheet it leaves.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "tests/spread/sample_sheet_fill.h"
#include "tests/spread/spread_test_support.h"

namespace spread::test {
namespace {

using platform::S_OK;

// A JPEG start: SOI, then a baseline frame header of 40 x 30 pixels.
std::vector<std::uint8_t> tinyJpeg() {
  return {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 'J', 'F', 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 30, 0x00, 40, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
}

class DemoFill : public ::testing::Test {
 protected:
  void SetUp() override {
    picturePath = std::filesystem::temp_directory_path() / ("spread_fill_" + std::to_string(::getpid()) + ".jpg");
    std::ofstream(picturePath, std::ios::binary).write(reinterpret_cast<const char*>(tinyJpeg().data()), std::streamsize(tinyJpeg().size()));
    FillSampleSheet(book, picturePath.string());
  }
  void TearDown() override { std::filesystem::remove(picturePath); }

  AddressedBook book;
  std::filesystem::path picturePath;
};

TEST_F(DemoFill, LabelsAreStaticTextFromTheColumnStyle) {
  for (int r = 1; r <= 13; ++r) {
    At(book, r, 1);
    EXPECT_EQ(GetNumber(book, "CellType"), 5) << r;
  }
  At(book, 6, 1);
  EXPECT_EQ(GetText(book, "Text"), "PIC(Mask)");
  At(book, 13, 1);
  EXPECT_EQ(GetText(book, "Text"), "");
  At(book, -1, 1);
  EXPECT_EQ(GetNumber(book, "CellType"), 5);
  At(book, -1, 2);
  EXPECT_EQ(GetNumber(book, "CellType"), 1) << "column 2 keeps the default type";
}

struct CellExpectation {
  int row;
  int type;
  const char* text;
  const char* value;
};

TEST_F(DemoFill, EveryCellOfColumnTwoHoldsItsTypeTextAndValue) {
  const CellExpectation cells[] = {
      {1, 0, "12/23/96", "19961223"},
      {2, 1, "Type in me", "Type in me"},
      {3, 12, "$1,000.00", "1000"},
      {4, 13, "1234.00", "1234"},
      {5, 14, "0.25%", "0.25"},
      {6, 4, "(123) 456-7890", "(123) 456-7890"},
      {7, 5, "This is a static text celltype. The property TypeTextWordWrap is used for wrapping.",
       "This is a static text celltype. The property TypeTextWordWrap is used for wrapping."},
      {8, 6, "01:23 AM", "012300"},
      {9, 7, "0", "0"},
      {10, 8, "", ""},
      {11, 9, "", ""},
      {12, 10, "0", "0"},
      {13, 11, "Ellipse", "Ellipse"},
  };
  for (const auto& c : cells) {
    At(book, c.row, 2);
    EXPECT_EQ(GetNumber(book, "CellType"), c.type) << "row " << c.row;
    EXPECT_EQ(GetText(book, "Text"), c.text) << "row " << c.row;
    EXPECT_EQ(GetText(book, "Value"), c.value) << "row " << c.row;
  }
}

struct PropertyExpectation {
  int row;
  const char* name;
  const char* text;  // as the value reads when changed to text
};

TEST_F(DemoFill, EveryTypePropertyWrittenReadsBack) {
  const PropertyExpectation properties[] = {
      {1, "TypeDateCentury", "0"},
      {1, "TypehAlign", "0"},
      {1, "TypeSpin", "0"},
      {1, "TypeDateFormat", "2"},
      {1, "TypeDateMin", "01011900"},
      {1, "TypeDateMax", "12312199"},
      {2, "TypeEditLen", "255"},
      {3, "TypeCurrencyMin", "-9999"},
      {3, "TypeCurrencyMax", "9999"},
      {4, "TypeNumberMax", "9999"},
      {4, "TypeNumberMin", "-9999"},
      {5, "TypePercentMax", "100"},
      {5, "TypePercentMin", "0.1"},
      {6, "TypePicMask", "(999) 999-9999"},
      {7, "TypeTextWordWrap", "-1"},
      {8, "TypeTime24Hour", "0"},
      {8, "TypeTimeSeconds", "0"},
      {8, "TypeTimeSeparator", "58"},
      {9, "TypeButtonText", "Press me"},
      {10, "TypeComboBoxList", "Item1\tItem2\tItem3"},
      {10, "TypeComboBoxCount", "3"},
      {11, "TypePictCenter", "-1"},
      {11, "TypePictStretch", "-1"},
      {11, "TypePictMaintainScale", "-1"},
      {12, "TypeCheckText", "Check me"},
      {13, "TypeOwnerDrawStyle", "1"},
  };
  for (const auto& p : properties) {
    At(book, p.row, 2);
    EXPECT_EQ(GetText(book, p.name), p.text) << "row " << p.row << " " << p.name;
  }
  // A type property belongs to its cell: the cell above does not have it.
  At(book, 2, 2);
  EXPECT_EQ(GetText(book, "TypePicMask"), "");
  EXPECT_EQ(GetNumber(book, "TypeEditLen"), 255);
  At(book, 3, 2);
  EXPECT_EQ(GetNumber(book, "TypeEditLen"), 60) << "the default edit length";
}

TEST_F(DemoFill, SheetSettingsAndSizesReadBack) {
  EXPECT_EQ(GetNumber(book, "MaxRows"), 13);
  EXPECT_EQ(GetNumber(book, "MaxCols"), 2);
  EXPECT_EQ(GetNumber(book, "AppearanceStyle"), 2);
  EXPECT_EQ(GetNumber(book, "VisibleCols"), 2);
  EXPECT_EQ(GetNumber(book, "VisibleRows"), 13);
  EXPECT_EQ(GetNumber(book, "AutoSize"), 1);
  EXPECT_EQ(GetNumber(book, "ScrollBars"), 0);
  EXPECT_EQ(GetNumber(book, "ColWidth", {I4(1)}), 12.0);
  EXPECT_EQ(GetNumber(book, "ColWidth", {I4(2)}), 25.0);
  const std::pair<int, double> heights[] = {{7, 32.0}, {8, 35.0}, {10, 45.0}, {12, 15.0}};
  for (auto [row, height] : heights) EXPECT_EQ(GetNumber(book, "RowHeight", {I4(row)}), height) << row;
  EXPECT_DOUBLE_EQ(GetNumber(book, "RowHeight", {I4(11)}), GetNumber(book, "MaxTextRowHeight", {I4(11)}));
  EXPECT_GT(GetNumber(book, "RowHeight", {I4(11)}), 0.0);
  EXPECT_EQ(GetNumber(book, "DataRowCnt"), 13);
  EXPECT_EQ(GetNumber(book, "DataColCnt"), 2);
}

TEST_F(DemoFill, ThePictureCellHoldsTheLoadedPicture) {
  At(book, 11, 2);
  platform::Variant object = Get(book, "TypePictPicture");
  ASSERT_EQ(object->vt, platform::VT_DISPATCH);
  const std::shared_ptr<const Picture> picture = PictureOf(object->pdispVal);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->format, PictureFormat::Jpeg);
  EXPECT_EQ(picture->width, 40);
  EXPECT_EQ(picture->height, 30);
  EXPECT_EQ(picture->bytes, tinyJpeg());
  At(book, 10, 2);
  EXPECT_EQ(Get(book, "TypePictPicture")->pdispVal, nullptr);
}

}  // namespace
}  // namespace spread::test
