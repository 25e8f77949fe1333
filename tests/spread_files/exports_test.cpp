// Exports read back by other programs (openpyxl for .xlsx, Python's parsers for HTML and XML)
// and text files that read back into the grid as they were written.
#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <fstream>
#include <memory>

#include "components/spread/formats/atomic_write.h"
#include "components/spread/formats/exports.h"
#include "components/spread/members/addressed_book.h"
#include "tests/spread_files/workbooks.h"

namespace spread::files {
namespace {

// Runs a Python script on a file and gives what it printed.
std::string RunPython(const std::string& script, const std::string& file) {
  const std::string scriptPath = TempPath("check.py");
  std::ofstream(scriptPath, std::ios::trunc) << script;
  const std::string command = "/usr/bin/python3 " + scriptPath + " " + file;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[4096];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
  return out;
}

void Write(AddressedBook& book, std::int32_t col, std::int32_t row, std::int16_t type, const std::string& text) {
  book.setRow(row), book.setRow2(row);
  book.setCol(col), book.setCol2(col);
  ASSERT_TRUE(book.changeStyle(
      book.sheet(), book.addressed(), [&](Style& s) { s.cellType = type; }, nullptr));
  std::string error;
  ASSERT_TRUE(book.writeText(book.sheet(), Block{col, row, col, row}, text, &error)) << error;
}

// One cell of each kind the exports distinguish.
AddressedBook KindsBook() {
  AddressedBook book;
  book.sheet().name = "Kinds";
  Write(book, 1, 1, 1, "plain, \"quoted\" <b>");
  Write(book, 2, 1, 13, "1234.5");
  Write(book, 3, 1, 0, "02/29/2024");
  Write(book, 4, 1, 6, "01:23 PM");
  Write(book, 5, 1, 10, "1");
  Write(book, 6, 1, 12, "99.95");
  Write(book, 7, 1, 14, "25");
  Write(book, 1, 2, 1, "Z\xFCrich");
  return book;
}

TEST(XlsxExport, ReadsBackThroughOpenpyxlWithValuesAndTypes) {
  AddressedBook book = KindsBook();
  const std::string path = TempPath("kinds.xlsx");
  std::string error;
  ASSERT_TRUE(ExportXlsx(book, path, 1, "", 0, &error)) << error;
  const std::string got = RunPython(
      "import sys, openpyxl\n"
      "wb = openpyxl.load_workbook(sys.argv[1])\n"
      "ws = wb.active\n"
      "print(ws.title)\n"
      "for row in ws.iter_rows():\n"
      "    for c in row:\n"
      "        if c.value is not None: print(c.coordinate, type(c.value).__name__, c.value)\n",
      path);
  EXPECT_EQ(got,
            "Kinds\n"
            "A1 str plain, \"quoted\" <b>\n"
            "B1 float 1234.5\n"
            "C1 datetime 2024-02-29 00:00:00\n"
            "D1 time 13:23:00\n"
            "E1 bool True\n"
            "F1 float 99.95\n"
            "G1 float 0.25\n"
            "A2 str Z\xC3\xBCrich\n");
}

TEST(XlsxExport, WholeBookKeepsEverySheetAndRefusesAnUnwritablePath) {
  AddressedBook book = KindsBook();
  book.setSheetCount(3);
  const std::string path = TempPath("book.xlsx");
  ASSERT_TRUE(ExportXlsx(book, path, 0, "", 0, nullptr));
  EXPECT_EQ(RunPython("import sys, openpyxl\nprint(openpyxl.load_workbook(sys.argv[1]).sheetnames)\n", path),
            "['Kinds', 'Sheet2', 'Sheet3']\n");
  std::string error;
  EXPECT_FALSE(ExportXlsx(book, TempPath("missing/dir/book.xlsx"), 0, "", 0, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ExportXlsx(book, path, 4, "", 0, &error));
}

struct TextCase {
  const char* name;
  TextLayout layout;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class TextRoundTrip : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextRoundTrip, LoadGivesBackWhatWasExported) {
  AddressedBook book;
  const char* texts[][3] = {{"a", "b,c", "say \"hi\""}, {"tab\there", "", "semi;colon"}, {"\"lead", "x|y", "end"}};
  for (std::int32_t r = 0; r < 3; ++r)
    for (std::int32_t c = 0; c < 3; ++c)
      if (*texts[r][c]) Write(book, c + 1, r + 1, 1, texts[r][c]);
  const std::string path = TempPath(std::string(GetParam().name) + ".txt");
  ASSERT_TRUE(ExportText(book, book.sheet(), Block{kAll, kAll, kAll, kAll}, path, GetParam().layout, nullptr));
  AddressedBook back;
  std::vector<std::string> problems;
  ASSERT_TRUE(LoadText(back, back.sheet(), path, GetParam().layout, problems, nullptr));
  EXPECT_TRUE(problems.empty());
  for (std::int32_t r = 1; r <= 3; ++r)
    for (std::int32_t c = 1; c <= 3; ++c)
      EXPECT_EQ(back.cellText(back.sheet(), c, r), texts[r - 1][c - 1]) << GetParam().name << " " << c << "," << r;
}

INSTANTIATE_TEST_SUITE_P(Layouts, TextRoundTrip,
                         ::testing::Values(TextCase{"csv", {"", ",", "\r\n", 0, false}}, TextCase{"tab", {}},
                                           TextCase{"quoted", {"'", ";", "\n", 0, false}}, TextCase{"pipes", {"\"", "|", "#", 0, false}},
                                           TextCase{"utf16", {"", ",", "\r\n", 0, true}}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(TextExport, QuotingHeadersValuesAndEncodings) {
  AddressedBook book = KindsBook();
  TextLayout csv{"", ",", "\n", 0, false};
  EXPECT_EQ(TextOf(book, book.sheet(), Block{1, 1, 3, 1}, csv), "\"plain, \"\"quoted\"\" <b>\",1234.50,02/29/24\n");
  csv.flags = kExportValues;
  EXPECT_EQ(TextOf(book, book.sheet(), Block{2, 1, 3, 1}, csv), "1234.5,20240229\n");
  csv.flags = kExportColHeaders | kExportRowHeaders;
  EXPECT_EQ(TextOf(book, book.sheet(), Block{2, 2, 3, 2}, csv), ",B,C\n2,,\n");
  const std::string path = TempPath("u.txt");
  ASSERT_TRUE(ExportText(book, book.sheet(), Block{1, 2, 1, 2}, path, TextLayout{"", ",", "\r\n", 0, true}, nullptr));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, std::string("\xFF\xFEZ\0\xFC\0r\0i\0"
                               "c\0h\0\r\0\n\0",
                               18));
}

TEST(HtmlExport, IsAValidPageWithTheCellTexts) {
  AddressedBook book = KindsBook();
  const std::string path = TempPath("kinds.html");
  ASSERT_TRUE(ExportHtml(book, book.sheet(), Block{kAll, kAll, kAll, kAll}, path, false, nullptr));
  ASSERT_TRUE(ExportHtml(book, book.sheet(), Block{1, 2, 1, 2}, path, true, nullptr));
  const std::string got = RunPython(
      "import sys, html.parser\n"
      "VOID = {'meta', 'br', 'img'}\n"
      "class P(html.parser.HTMLParser):\n"
      "    def __init__(s):\n"
      "        super().__init__(); s.stack = []; s.cells = []; s.ok = True; s.tables = 0\n"
      "    def handle_starttag(s, t, a):\n"
      "        s.tables += t == 'table'\n"
      "        if t not in VOID: s.stack.append(t)\n"
      "    def handle_endtag(s, t):\n"
      "        s.ok = s.ok and bool(s.stack) and s.stack.pop() == t\n"
      "    def handle_data(s, d):\n"
      "        if s.stack and s.stack[-1] == 'td': s.cells.append(d)\n"
      "p = P(); p.feed(open(sys.argv[1], encoding='utf-8').read())\n"
      "print(p.ok and not p.stack, p.tables)\n"
      "print('|'.join(p.cells))\n",
      path);
  EXPECT_EQ(got, "True 2\nplain, \"quoted\" <b>|1234.50|02/29/24|01:23 PM|1|$99.95|25.00%|Z\xC3\xBCrich|Z\xC3\xBCrich\n");
}

TEST(XmlExport, WellFormedWithHeaderNamedElements) {
  AddressedBook book = KindsBook();
  const std::string path = TempPath("kinds.xml");
  ASSERT_TRUE(ExportXml(book, book.sheet(), Block{1, 1, 2, 2}, path, "Book", "Line", kExportValues, nullptr));
  EXPECT_EQ(RunPython("import sys, xml.etree.ElementTree as E\n"
                      "r = E.parse(sys.argv[1]).getroot()\n"
                      "print(r.tag, [[(c.tag, c.text) for c in line] for line in r])\n",
                      path),
            "Book [[('A', 'plain, \"quoted\" <b>'), ('B', '1234.5')], [('A', 'Z\xC3\xBCrich'), ('B', None)]]\n");
}

}  // namespace
}  // namespace spread::files
