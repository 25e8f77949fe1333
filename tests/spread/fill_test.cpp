// The demo window's sheet fill, sent member by member by name with the variant types its
// wrapper uses, and the sheet it leaves.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

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
    fill();
  }
  void TearDown() override { std::filesystem::remove(picturePath); }

  void put(std::string_view name, platform::VARIANT v) { ASSERT_EQ(Put(book, name, {v}), S_OK) << name; }
  void putAt(std::string_view name, std::int32_t index, platform::VARIANT v) { ASSERT_EQ(Put(book, name, {I4(index), v}), S_OK) << name; }

  // The wrapper's NewCellPicture: CellType 9, LoadPicture read as a property, then the picture
  // object written to DISPID 178.
  void newCellPicture(const std::string& file) {
    put("CellType", I2(9));
    platform::Variant picture;
    ASSERT_EQ(Invoke(book, "LoadPicture", platform::DISPATCH_PROPERTYGET, {Str(file), I4(0)}, &picture), S_OK);
    ASSERT_EQ(picture->vt, platform::VT_DISPATCH);
    ASSERT_NE(picture->pdispVal, nullptr);
    const MemberInfo* cellPicture = FindMember(DISPID(178));
    ASSERT_NE(cellPicture, nullptr);
    platform::VARIANT arg;
    arg.vt = platform::VT_DISPATCH;
    arg.pdispVal = picture->pdispVal;
    ASSERT_EQ(InvokeMember(book, *cellPicture, platform::DISPATCH_PROPERTYPUT, std::span(&arg, 1), nullptr, nullptr), S_OK);
  }

  void fill() {
    put("AppearanceStyle", I4(2));
    put("MaxRows", I4(13));
    put("MaxCols", I4(2));
    At(book, -1, 1);
    put("CellType", I2(5));
    const char* labels[] = {"Date",        "Edit", "Currency", "Number",    "Percent", "PIC(Mask)",
                            "Static text", "Time", "Button",   "Combo Box", "Picture", "Check Box"};
    for (int r = 1; r <= 12; ++r) {
      At(book, r, 1);
      put("Text", Str(labels[r - 1]));
    }
    put("Col", I4(2));
    put("Row", I4(1));
    put("CellType", I2(0));
    put("TypeDateCentury", I2(0));
    put("TypeHAlign", I2(0));
    put("TypeSpin", I2(0));
    put("TypeDateFormat", I2(2));
    put("TypeDateMin", Str("01011900"));
    put("TypeDateMax", Str("12312199"));
    put("Text", Str("12/23/96"));
    put("Row", I4(2));
    put("CellType", I2(1));
    put("TypeEditLen", I4(255));
    put("Text", Str("Type in me"));
    put("Row", I4(3));
    put("CellType", I2(12));
    put("TypeCurrencyMin", R8(-9999.0));
    put("TypeCurrencyMax", R8(9999.0));
    put("Text", Str("1000.00"));
    put("Row", I4(4));
    put("CellType", I2(13));
    put("TypeNumberMax", R8(9999.0));
    put("TypeNumberMin", R8(-9999.0));
    put("Text", Str("1234"));
    put("Row", I4(5));
    put("CellType", I2(14));
    put("TypePercentMax", R8(100.0));
    put("TypePercentMin", R8(0.1));
    put("Text", Str(".25"));
    put("Row", I4(6));
    put("CellType", I2(4));
    put("TypePicMask", Str("(999) 999-9999"));
    put("Text", Str("(123) 456-7890"));
    put("Row", I4(7));
    put("CellType", I2(5));
    put("Text", Str("This is a static text celltype. The property TypeTextWordWrap is used for wrapping."));
    put("TypeTextWordWrap", I2(1));
    put("Row", I4(8));
    put("CellType", I2(6));
    put("TypeTime24Hour", I2(0));
    put("TypeTimeSeconds", I2(0));
    put("TypeTimeSeparator", I2(58));
    put("Text", Str("01:23 am"));
    put("Row", I4(9));
    put("CellType", I2(7));
    put("TypeButtonText", Str("Press me"));
    putAt("RowHeight", 8, R8(35.0));
    put("Row", I4(10));
    put("CellType", I2(8));
    put("TypeComboBoxList", Str("Item1\tItem2\tItem3"));
    put("Row", I4(11));
    put("CellType", I2(9));
    put("TypePictCenter", I2(1));
    put("TypePictStretch", I2(1));
    put("TypePictMaintainScale", I2(1));
    newCellPicture(picturePath.string());
    putAt("RowHeight", 10, R8(45.0));
    put("Row", I4(12));
    put("CellType", I2(10));
    put("TypeCheckText", Str("Check me"));
    put("Row", I4(13));
    put("CellType", I2(11));
    put("TypeOwnerDrawStyle", I4(1));
    putAt("RowHeight", 12, R8(15.0));
    put("Text", Str("Ellipse"));
    put("VisibleCols", I4(2));
    put("VisibleRows", I4(13));
    put("AutoSize", I4(1));
    putAt("ColWidth", 1, R8(12.0));
    putAt("ColWidth", 2, R8(25.0));
    putAt("RowHeight", 7, R8(32.0));
    const double fitted = GetNumber(book, "MaxTextRowHeight", {I4(11)});
    putAt("RowHeight", 11, R8(fitted));
    put("ScrollBars", I4(0));
  }

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
