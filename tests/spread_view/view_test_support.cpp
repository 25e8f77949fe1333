// The demo's sheet fill and the view tests' application.
#include "tests/spread_view/view_test_support.h"

#include <QImage>
#include <QPainter>
#include <filesystem>

#include <unistd.h>

namespace spread::view::test {

using spread::test::I2;
using spread::test::I4;
using spread::test::R8;
using spread::test::Str;

QApplication& App() {
  static int argc = 1;
  static char name[] = "spread_view_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

const std::string& SamplePicturePath() {
  static const std::string path = [] {
    App();
    const auto file = std::filesystem::temp_directory_path() / ("spread_view_cover_" + std::to_string(::getpid()) + ".png");
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(0, 30, 60, 10, Qt::blue);
    image.save(QString::fromStdString(file.string()));
    std::atexit(
        [] { std::filesystem::remove(std::filesystem::temp_directory_path() / ("spread_view_cover_" + std::to_string(::getpid()) + ".png")); });
    return file.string();
  }();
  return path;
}

namespace {

void put(AddressedBook& book, std::string_view name, platform::VARIANT v) {
  ASSERT_EQ(spread::test::Put(book, name, {v}), platform::S_OK) << name;
}

void putAt(AddressedBook& book, std::string_view name, std::int32_t index, platform::VARIANT v) {
  ASSERT_EQ(spread::test::Put(book, name, {I4(index), v}), platform::S_OK) << name;
}

// The wrapper's NewCellPicture: CellType 9, LoadPicture, the object written to DISPID 178.
void newCellPicture(AddressedBook& book, const std::string& file) {
  put(book, "CellType", I2(9));
  platform::Variant picture;
  ASSERT_EQ(spread::test::Invoke(book, "LoadPicture", platform::DISPATCH_PROPERTYGET, {Str(file), I4(0)}, &picture), platform::S_OK);
  ASSERT_EQ(picture->vt, platform::VT_DISPATCH);
  const MemberInfo* cellPicture = FindMember(DISPID(178));
  ASSERT_NE(cellPicture, nullptr);
  platform::VARIANT arg;
  arg.vt = platform::VT_DISPATCH;
  arg.pdispVal = picture->pdispVal;
  ASSERT_EQ(InvokeMember(book, *cellPicture, platform::DISPATCH_PROPERTYPUT, std::span(&arg, 1), nullptr, nullptr), platform::S_OK);
}

}  // namespace

void FillSampleSheet(AddressedBook& book, const std::string& picturePath) {
  put(book, "AppearanceStyle", I4(2));
  put(book, "MaxRows", I4(13));
  put(book, "MaxCols", I4(2));
  spread::test::At(book, -1, 1);
  put(book, "CellType", I2(5));
  const char* labels[] = {"Date",        "Edit", "Currency", "Number",    "Percent", "PIC(Mask)",
                          "Static text", "Time", "Button",   "Combo Box", "Picture", "Check Box"};
  for (int r = 1; r <= 12; ++r) {
    spread::test::At(book, r, 1);
    put(book, "Text", Str(labels[r - 1]));
  }
  put(book, "Col", I4(2));
  put(book, "Row", I4(1));
  put(book, "CellType", I2(0));
  put(book, "TypeDateCentury", I2(0));
  put(book, "TypeHAlign", I2(0));
  put(book, "TypeSpin", I2(0));
  put(book, "TypeDateFormat", I2(2));
  put(book, "TypeDateMin", Str("01011900"));
  put(book, "TypeDateMax", Str("12312199"));
  put(book, "Text", Str("12/23/96"));
  put(book, "Row", I4(2));
  put(book, "CellType", I2(1));
  put(book, "TypeEditLen", I4(255));
  put(book, "Text", Str("Type in me"));
  put(book, "Row", I4(3));
  put(book, "CellType", I2(12));
  put(book, "TypeCurrencyMin", R8(-9999.0));
  put(book, "TypeCurrencyMax", R8(9999.0));
  put(book, "Text", Str("1000.00"));
  put(book, "Row", I4(4));
  put(book, "CellType", I2(13));
  put(book, "TypeNumberMax", R8(9999.0));
  put(book, "TypeNumberMin", R8(-9999.0));
  put(book, "Text", Str("1234"));
  put(book, "Row", I4(5));
  put(book, "CellType", I2(14));
  put(book, "TypePercentMax", R8(100.0));
  put(book, "TypePercentMin", R8(0.1));
  put(book, "Text", Str(".25"));
  put(book, "Row", I4(6));
  put(book, "CellType", I2(4));
  put(book, "TypePicMask", Str("(999) 999-9999"));
  put(book, "Text", Str("(123) 456-7890"));
  put(book, "Row", I4(7));
  put(book, "CellType", I2(5));
  put(book, "Text", Str("This is a static text celltype. The property TypeTextWordWrap is used for wrapping."));
  put(book, "TypeTextWordWrap", I2(1));
  put(book, "Row", I4(8));
  put(book, "CellType", I2(6));
  put(book, "TypeTime24Hour", I2(0));
  put(book, "TypeTimeSeconds", I2(0));
  put(book, "TypeTimeSeparator", I2(58));
  put(book, "Text", Str("01:23 am"));
  put(book, "Row", I4(9));
  put(book, "CellType", I2(7));
  put(book, "TypeButtonText", Str("Press me"));
  putAt(book, "RowHeight", 8, R8(35.0));
  put(book, "Row", I4(10));
  put(book, "CellType", I2(8));
  put(book, "TypeComboBoxList", Str("Item1\tItem2\tItem3"));
  put(book, "Row", I4(11));
  put(book, "CellType", I2(9));
  put(book, "TypePictCenter", I2(1));
  put(book, "TypePictStretch", I2(1));
  put(book, "TypePictMaintainScale", I2(1));
  newCellPicture(book, picturePath);
  putAt(book, "RowHeight", 10, R8(45.0));
  put(book, "Row", I4(12));
  put(book, "CellType", I2(10));
  put(book, "TypeCheckText", Str("Check me"));
  put(book, "Row", I4(13));
  put(book, "CellType", I2(11));
  put(book, "TypeOwnerDrawStyle", I4(1));
  putAt(book, "RowHeight", 12, R8(15.0));
  put(book, "Text", Str("Ellipse"));
  put(book, "VisibleCols", I4(2));
  put(book, "VisibleRows", I4(13));
  put(book, "AutoSize", I4(1));
  putAt(book, "ColWidth", 1, R8(12.0));
  putAt(book, "ColWidth", 2, R8(25.0));
  putAt(book, "RowHeight", 7, R8(32.0));
  const double fitted = spread::test::GetNumber(book, "MaxTextRowHeight", {I4(11)});
  putAt(book, "RowHeight", 11, R8(fitted));
  put(book, "ScrollBars", I4(0));
}

}  // namespace spread::view::test
