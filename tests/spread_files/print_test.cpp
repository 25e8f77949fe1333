// Printing to PDF: the pages poppler reads from the file carry the header in bold, the footer
// and the cell texts; PrintPageCount is the number of pages printed; header codes and page
// breaks.
#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "components/spread/members/addressed_book.h"
#include "components/spread/print/print_layout.h"
#include "components/spread/print/print_sheet.h"
#include "tests/spread/spread_test_support.h"
#include "tests/spread_files/sample_sheet.h"
#include "tests/spread_files/workbooks.h"

namespace spread::files {
namespace {

std::string RunCommand(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[4096];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
  return out;
}

int PdfPages(const std::string& path) {
  const std::string info = RunCommand("pdfinfo " + path + " 2>/dev/null");
  const size_t at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

TEST(PrintPdf, SampleSheetCarriesHeaderInBoldFooterAndCellTexts) {
  AddressedBook book;
  FillSampleSheet(book, TempPath("print.png"));
  book.settings.printJobName = "Kestrel24 DEMO";
  const std::string path = TempPath("sample.pdf");
  ::setenv("TAMSIL_PRINT_PDF", path.c_str(), 1);
  platform::Variant r;
  std::string error;
  EXPECT_EQ(test::CallMethod(book, "PrintSheet", {test::I2(0)}, &r, &error), platform::S_OK) << error;
  ::unsetenv("TAMSIL_PRINT_PDF");
  const std::string text = RunCommand("pdftotext -raw " + path + " -");
  for (const char* expected : {"H E A D E R", "F O O T E R", "Type in me", "$1,000.00", "(123) 456-7890", "Press me", "Item2", "Check Box"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
  const std::string fonts = RunCommand("pdffonts " + path);
  EXPECT_NE(fonts.find("Helvetica-Bold"), std::string::npos) << fonts;
  EXPECT_EQ(PdfPages(path), 1);
}

// A sheet of 500 rows and 30 columns of texts: several pages each way at full size.
void FillWideSheet(AddressedBook& book) {
  book.sheet().setMaxCols(30);
  for (std::int32_t r = 1; r <= 500; ++r)
    for (std::int32_t c = 1; c <= 30; c += 7)
      ASSERT_TRUE(book.writeText(book.sheet(), Block{c, r, c, r}, "r" + std::to_string(r) + "c" + std::to_string(c), nullptr));
}

struct PageCase {
  const char* name;
  std::int32_t orientation, order, firstRowBreak;
};
void PrintTo(const PageCase& c, std::ostream* os) { *os << c.name; }

class PageCount : public ::testing::TestWithParam<PageCase> {};

TEST_P(PageCount, MatchesThePagesPrinted) {
  AddressedBook book;
  FillWideSheet(book);
  book.settings.printOrientation = GetParam().orientation;
  book.settings.printPageOrder = GetParam().order;
  if (GetParam().firstRowBreak) book.sheet().rowLineForWrite(GetParam().firstRowBreak).pageBreak = true;
  book.settings.printHeader = "/l/fb1Left/fb0/cPage /p of /pc/r/d";
  const std::string path = TempPath(std::string(GetParam().name) + ".pdf");
  std::string error;
  ASSERT_TRUE(PrintToPdf(book, path, &error)) << error;
  const std::int32_t expected = test::NumberOf(test::Get(book, "PrintPageCount"));
  EXPECT_EQ(PdfPages(path), expected);
  EXPECT_GT(expected, 1);
  const std::string text = RunCommand("pdftotext -raw " + path + " -");
  EXPECT_NE(text.find("Page 1 of " + std::to_string(expected)), std::string::npos);
  EXPECT_NE(text.find("r500c29"), std::string::npos);
  if (GetParam().firstRowBreak) {
    const PrintLayout layout = LayOutPrint(book);
    EXPECT_EQ(NextPageBreakRow(layout, 1), GetParam().firstRowBreak);
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PageCount,
                         ::testing::Values(PageCase{"portrait", 0, 0, 0}, PageCase{"landscape", 2, 0, 0}, PageCase{"across", 0, 2, 0},
                                           PageCase{"rowbreak", 0, 0, 10}),
                         [](const auto& p) { return std::string(p.param.name); });

struct ScalingCase {
  const char* name;
  std::int32_t method;
  std::int16_t wide, tall;
  std::int32_t rowBreak;
  size_t maxAcross, maxDown;  // 0: no limit
};
void PrintTo(const ScalingCase& c, std::ostream* os) { *os << c.name; }

class PrintScaling : public ::testing::TestWithParam<ScalingCase> {};

TEST_P(PrintScaling, ShrinksToThePagesAskedAndPrintsThem) {
  AddressedBook book;
  FillWideSheet(book);
  const PrintLayout full = LayOutPrint(book);
  ASSERT_GT(full.colBands.size(), 1u);
  ASSERT_GT(full.rowBands.size(), 3u);
  const ScalingCase& c = GetParam();
  book.settings.printScalingMethod = c.method;
  book.settings.printBestFitPagesWide = c.wide;
  book.settings.printBestFitPagesTall = c.tall;
  if (c.rowBreak) book.sheet().rowLineForWrite(c.rowBreak).pageBreak = true;
  const PrintLayout p = LayOutPrint(book);
  if (c.maxAcross) {
    EXPECT_LE(p.colBands.size(), c.maxAcross);
  }
  if (c.maxDown) {
    EXPECT_LE(p.rowBands.size(), c.maxDown);
  }
  if (c.method == 0) {
    EXPECT_EQ(p.scale, 1);
    EXPECT_EQ(p.pages.size(), full.pages.size());
  } else {
    EXPECT_LT(p.scale, 1);
    EXPECT_GT(p.scale, 0.1);  // a break may keep pages apart, it does not force the smallest scale
  }
  if (c.rowBreak) {
    EXPECT_EQ(NextPageBreakRow(p, 1), c.rowBreak);
  }
  // Every line of the sheet still prints, on the pages PrintPageCount counts.
  const std::string path = TempPath(std::string("scaled_") + c.name + ".pdf");
  ASSERT_TRUE(PrintToPdf(book, path, nullptr));
  EXPECT_EQ(PdfPages(path), test::NumberOf(test::Get(book, "PrintPageCount")));
  const std::string text = RunCommand("pdftotext -raw " + path + " -");
  for (const char* cell : {"r1c1", "r250c15", "r500c29"}) EXPECT_NE(text.find(cell), std::string::npos) << cell;
}

INSTANTIATE_TEST_SUITE_P(Methods, PrintScaling,
                         ::testing::Values(ScalingCase{"actual", 0, 1, 1, 0, 0, 0}, ScalingCase{"fitwidth", 1, 1, 1, 0, 1, 0},
                                           ScalingCase{"onepage", 2, 1, 1, 0, 1, 1}, ScalingCase{"twobythree", 2, 2, 3, 0, 2, 3},
                                           ScalingCase{"tallonly", 2, 0, 2, 0, 0, 2}, ScalingCase{"breakkept", 2, 1, 1, 40, 1, 2}),
                         [](const auto& p) { return std::string(p.param.name); });

// Records where cell texts are drawn.
class TextSpots : public PageCanvas {
 public:
  void fillRect(double, double, double, double, std::uint32_t) override {}
  void line(double, double, double, double, std::uint32_t, double) override {}
  void text(double x, double y, std::string_view ansi, bool, double size, std::uint32_t, double, double, double, double) override {
    if (ansi == "middle") at = {x, y}, fontSize = size;
  }
  double textWidth(std::string_view ansi, bool, double size) const override { return double(ansi.size()) * size / 2; }
  std::pair<double, double> at{-1, -1};
  double fontSize = 0;
};

TEST(PrintCentring, PutsASmallSheetInTheMiddleOfThePage) {
  AddressedBook book;
  ASSERT_TRUE(book.writeText(book.sheet(), Block{1, 1, 1, 1}, "middle", nullptr));
  const auto spot = [&](bool h, bool v) {
    book.settings.printCenterOnPageH = h;
    book.settings.printCenterOnPageV = v;
    const PrintLayout p = LayOutPrint(book);
    TextSpots canvas;
    DrawPage(book, p, 0, canvas, "", "");
    return canvas.at;
  };
  const auto plain = spot(false, false), centred = spot(true, true);
  EXPECT_LT(plain.first, 150);
  EXPECT_LT(plain.second, 150);
  EXPECT_GT(centred.first, 200);  // a letter page is 612 x 792 points
  EXPECT_GT(centred.second, 300);
  EXPECT_EQ(spot(true, false).second, plain.second);
  EXPECT_EQ(spot(false, true).first, plain.first);
}

TEST(PrintScalingText, ShrinksWithTheCells) {
  AddressedBook book;
  FillWideSheet(book);
  ASSERT_TRUE(book.writeText(book.sheet(), Block{2, 2, 2, 2}, "middle", nullptr));
  const auto size = [&](std::int32_t method) {
    book.settings.printScalingMethod = method;
    const PrintLayout p = LayOutPrint(book);
    TextSpots canvas;
    DrawPage(book, p, 0, canvas, "", "");
    return canvas.fontSize / p.scale;
  };
  const double full = size(0);
  EXPECT_GT(full, 0);
  EXPECT_DOUBLE_EQ(size(1), full);  // the text scales by exactly the layout's scale
}

TEST(PrintHeaderCodes, ExpandToRunsInPlace) {
  const auto lines = ExpandHeaderText("/fb1H E A D E R/fb0 x/r/p//of/pc/n/l/d /t", 3, 9, "12/07/2026", "14:00");
  ASSERT_EQ(lines.size(), 2u);
  ASSERT_EQ(lines[0].centre.size(), 2u);
  EXPECT_EQ(lines[0].centre[0].text, "H E A D E R");
  EXPECT_TRUE(lines[0].centre[0].bold);
  EXPECT_EQ(lines[0].centre[1].text, " x");
  EXPECT_FALSE(lines[0].centre[1].bold);
  ASSERT_EQ(lines[0].right.size(), 1u);
  EXPECT_EQ(lines[0].right[0].text, "3/of9");
  ASSERT_EQ(lines[1].left.size(), 1u);
  EXPECT_EQ(lines[1].left[0].text, "12/07/2026 14:00");
}

TEST(PrintChoice, PageRangeAndCancelledPrintWritesNothing) {
  AddressedBook book;
  for (std::int32_t r = 1; r <= 300; ++r) ASSERT_TRUE(book.writeText(book.sheet(), Block{1, r, 1, r}, "x", nullptr));
  book.settings.printType = 3;
  book.settings.printPageStart = 2;
  book.settings.printPageEnd = 3;
  const std::string path = TempPath("range.pdf");
  ASSERT_TRUE(PrintToPdf(book, path, nullptr));
  EXPECT_EQ(PdfPages(path), 2);
  const std::string cancelled = TempPath("cancelled.pdf");
  std::string error;
  EXPECT_FALSE(PrintToPdf(book, cancelled, &error, [](int done, int) { return done < 1; }));
  EXPECT_EQ(error, "printing cancelled");
  EXPECT_EQ(PdfPages(cancelled), -1);
}

}  // namespace
}  // namespace spread::files
