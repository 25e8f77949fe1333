// The view's pieces on their own: input masks, editor formats, where a picture goes in its cell,
// the Qt metrics the book sizes with, and the model's texts as Qt sees them.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QLineEdit>

#include "components/spread/model/user_ops.h"
#include "components/spread/view/cell_editors.h"
#include "components/spread/view/qt_metrics.h"
#include "components/spread/view/sheet_model.h"
#include "tests/spread_view/view_test_support.h"

namespace spread::view::test {
namespace {

struct MaskCase {
  const char* mask;
  const char* qt;
};

TEST(ViewParts, PictureMasksBecomeQtInputMasks) {
  const MaskCase cases[] = {
      {"(999) 999-9999", "(999) 999-9999"},
      {"AA-99", "AA-99"},
      {"UUL", ">A!>A!<A!"},
      {"HH:XX", "HH:XX"},
      {"N.N", "N.N"},
      // Letters and marks Qt would read as mask characters stand as literals.
      {"a#b!", "\\a\\#\\b\\!"},
  };
  for (const auto& c : cases) EXPECT_EQ(QtInputMask(c.mask).toStdString(), c.qt) << c.mask;
}

TEST(ViewParts, MaskEditorTakesThePhoneNumberAndRefusesLetters) {
  App();
  QLineEdit edit;
  edit.setInputMask(QtInputMask("(999) 999-9999"));
  edit.setText("1234567890");
  EXPECT_EQ(edit.text().toStdString(), "(123) 456-7890");
  EXPECT_TRUE(edit.hasAcceptableInput());
  edit.setText("12a");
  EXPECT_FALSE(edit.hasAcceptableInput());
}

struct FormatCase {
  std::int16_t format;
  char separator;
  const char* qt;
};

TEST(ViewParts, DateEditorsFollowTheCellsOrderWithFourDigitYears) {
  const FormatCase cases[] = {{0, '-', "dd-MMM-yyyy"}, {1, '.', "dd.MM.yyyy"}, {2, '/', "MM/dd/yyyy"}, {3, '/', "yyyy/MM/dd"}};
  for (const auto& c : cases) {
    Style s;
    s.dateFormat = c.format;
    s.dateSeparator = c.separator;
    EXPECT_EQ(EditorDateFormat(s).toStdString(), c.qt) << c.format;
  }
}

struct TimeCase {
  bool h24, seconds;
  char separator;
  const char* qt;
};

TEST(ViewParts, TimeEditorsFollowHoursSecondsAndSeparator) {
  const TimeCase cases[] = {
      {false, false, ':', "hh:mm AP"}, {true, false, ':', "HH:mm"}, {true, true, '.', "HH.mm.ss"}, {false, true, ':', "hh:mm:ss AP"}};
  for (const auto& c : cases) {
    Style s;
    s.time24Hour = c.h24;
    s.timeSeconds = c.seconds;
    s.timeSeparator = c.separator;
    EXPECT_EQ(EditorTimeFormat(s).toStdString(), c.qt);
  }
}

struct PictureCase {
  bool center, stretch, keepScale;
  QRect expected;  // in a cell at (10, 20) of 100 x 40, for an image of 50 x 10
};

TEST(ViewParts, PicturesAreCentredStretchedOrScaledAsTheTypeSays) {
  const QRect cell(10, 20, 100, 40);
  const PictureCase cases[] = {
      {false, false, false, QRect(10, 20, 50, 10)},  // top left, own size
      {true, false, false, QRect(35, 35, 50, 10)},   // centred, own size
      {false, true, false, QRect(10, 20, 100, 40)},  // stretched over the cell
      {true, true, true, QRect(10, 30, 100, 20)},    // stretched keeping its shape, centred
  };
  for (const auto& c : cases) {
    Style s;
    s.pictCenter = c.center;
    s.pictStretch = c.stretch;
    s.pictMaintainScale = c.keepScale;
    EXPECT_EQ(CellPainter::pictureRect(s, cell, QSize(50, 10)), c.expected) << c.center << c.stretch << c.keepScale;
  }
  EXPECT_TRUE(CellPainter::pictureRect(Style{}, cell, QSize()).isNull());
}

TEST(ViewParts, QtMetricsMeasureAsTheFontDraws) {
  App();
  const QtTextMetrics metrics(96);
  const TextFont font{"MS Sans Serif", 8, false, false};
  const QFontMetricsF qt(FontOf(font, 96));
  EXPECT_DOUBLE_EQ(metrics.textWidth(font, "Ellipse"), qt.horizontalAdvance("Ellipse"));
  EXPECT_DOUBLE_EQ(metrics.lineHeight(font), qt.lineSpacing());
  EXPECT_GT(metrics.textWidth(font, "WWWW"), metrics.textWidth(font, "iiii"));
  EXPECT_GT(metrics.textWidth(TextFont{"MS Sans Serif", 16, false, false}, "Ellipse"), metrics.textWidth(font, "Ellipse"));
  EXPECT_DOUBLE_EQ(metrics.pixelsPerPoint(), 96.0 / 72.0);
}

TEST(ViewParts, WrappedRowHeightFromQtMetricsHoldsEveryLine) {
  App();
  AddressedBook book;
  auto metrics = std::make_shared<QtTextMetrics>(96);
  book.setMetrics(metrics);
  FillSampleSheet(book, SamplePicturePath());
  // Row 7's text wraps in a column of 25 characters; the height the book measures holds the lines.
  spread::test::At(book, kStaticRow, 2);
  const double points = spread::test::GetNumber(book, "MaxTextRowHeight", {spread::test::I4(kStaticRow)});
  const TextFont font{"MS Sans Serif", 8, false, false};
  const auto lines = WrapText(*metrics, font, "This is a static text celltype. The property TypeTextWordWrap is used for wrapping.",
                              book.activeSheet().colWidth(2) * book.charWidthPixels(book.sheet()) - 2 * kCellMarginX);
  EXPECT_GE(lines.size(), 2u);
  EXPECT_GE(points * metrics->pixelsPerPoint(), double(lines.size()) * metrics->lineHeight(font));
}

TEST(ViewParts, AnsiTextsSurviveTheWayToQtAndBack) {
  const std::string ansi = "caf\xE9 \x80 5";  // é and the euro sign of Windows-1252
  const QString q = ToQString(ansi);
  EXPECT_EQ(q, QString::fromUtf8("café € 5"));
  EXPECT_EQ(FromQString(q), ansi);
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0x800000), QColor(0, 0, 128));
}

TEST(ViewParts, ModelShowsTheActiveSheetWhateverSheetAutomationAddresses) {
  App();
  AddressedBook book;
  ASSERT_TRUE(book.setSheetCount(2));
  book.sheet().cellForWrite(1, 1).value = std::string("first");
  ASSERT_TRUE(book.setSheetIndex(2));
  book.sheet().cellForWrite(1, 1).value = std::string("second");
  SheetModel model(book);
  EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString().toStdString(), "first");
  EXPECT_EQ(book.sheetIndex(), 2) << "reading does not move what automation addresses";
  ASSERT_TRUE(UserOps(book).setActiveSheet(2));
  EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString().toStdString(), "second");
  EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(), "A");
  EXPECT_EQ(model.headerData(26, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(), "AA");
  EXPECT_EQ(model.headerData(4, Qt::Vertical, Qt::DisplayRole).toString().toStdString(), "5");
}

}  // namespace
}  // namespace spread::view::test
