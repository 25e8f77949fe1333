// Reading lines of every length around the steps the reader looks at a line in: each length from
// empty to past the record, with a tab, a Ctrl-Z or a lone carriage return at the edges of those
// steps, read into a record the program left full of other characters.
#include "tests/file/ascii_test_support.h"

namespace tamsil::file::testing {
namespace {

enum class Special { None, Tab, CtrlZ, LoneReturn };

// A line of length letters with the special character at position at (none when at >= length).
std::string makeLine(std::size_t length, Special special, std::size_t at) {
  std::string line;
  for (std::size_t i = 0; i < length; ++i) line += char('a' + i % 26);
  if (at < length) line[at] = special == Special::Tab ? '\t' : special == Special::CtrlZ ? kCtrlZ : '\r';
  return line;
}

// The record a line gives with the default switches: tabs to the next stop of eight, cut to the
// record, blanks after; a Ctrl-Z ends the line (and the data).
std::string expectedRecord(const std::string& line, std::size_t recordSize) {
  std::string out(recordSize, ' ');
  std::size_t o = 0;
  for (const char c : line) {
    if (o >= recordSize || c == kCtrlZ) break;
    if (c == '\t') o += 8 - o % 8;
    else out[o++] = c;
  }
  return out;
}

class AsciiScanTable : public AsciiTest, public ::testing::WithParamInterface<std::size_t> {
 protected:
  // Reads every record of content with NEXT, the record dirtied before each read.
  std::vector<std::string> dirtyReads(const std::string& content) {
    const std::size_t recordSize = GetParam();
    auto f = open(content, recordSize, "/QUICKSCAN=ON");
    std::vector<std::string> out;
    for (;;) {
      f->setRecord(std::string(recordSize, 'Q'));
      if (f->call(OpNext) != 0) break;
      out.emplace_back(f->recordText());
    }
    return out;
  }
};

constexpr std::size_t kPositions[] = {0, 1, 14, 15, 16, 17, 31, 32, 33};

TEST_P(AsciiScanTable, EveryLengthWithAndWithoutTabsAndLoneReturns) {
  const std::size_t recordSize = GetParam();
  for (const Special special : {Special::None, Special::Tab, Special::LoneReturn}) {
    for (const std::size_t at : kPositions) {
      std::string content;
      std::vector<std::string> expected;
      for (std::size_t length = 0; length <= recordSize + 40; ++length) {
        const std::string line = makeLine(length, special, at);
        content += line + "\r\n";
        expected.push_back(expectedRecord(line, recordSize));
      }
      SCOPED_TRACE(::testing::Message() << "special " << int(special) << " at " << at);
      EXPECT_EQ(dirtyReads(content), expected);
    }
  }
}

TEST_P(AsciiScanTable, CtrlZAnywhereEndsTheData) {
  const std::size_t recordSize = GetParam();
  for (const std::size_t length : {std::size_t(1), std::size_t(2), std::size_t(16), std::size_t(17), std::size_t(18), std::size_t(33),
                                   std::size_t(34), recordSize - 1, recordSize, recordSize + 1, recordSize + 17}) {
    for (const std::size_t at : kPositions) {
      if (at >= length) continue;
      const std::string line = makeLine(length, Special::CtrlZ, at);
      std::vector<std::string> expected = {expectedRecord("first", recordSize)};
      if (at > 0) expected.push_back(expectedRecord(line, recordSize));  // a Ctrl-Z first ends the data before the line
      SCOPED_TRACE(::testing::Message() << "length " << length << " Ctrl-Z at " << at);
      EXPECT_EQ(dirtyReads("first\r\n" + line + "\r\nafter\r\n"), expected);
    }
  }
}

// Around the sizes the reader looks at in steps of 16, 64 and 128, and the largest record it fills
// lane by lane (256) and the first it fills by copying.
INSTANTIATE_TEST_SUITE_P(RecordSizes, AsciiScanTable,
                         ::testing::Values(std::size_t(15), std::size_t(16), std::size_t(17), std::size_t(40), std::size_t(127),
                                           std::size_t(128), std::size_t(129), std::size_t(256), std::size_t(257)));

// Lines cut by the ends of a small buffer at every offset, under each kind of delimiter: one byte,
// two, and three whose first byte also turns up inside lines, alone and doubled.
struct BoundaryCase {
  const char* name;
  std::string delimiter;
  std::string driverString;
};

class AsciiBufferEdges : public AsciiTest, public ::testing::WithParamInterface<BoundaryCase> {};

TEST_P(AsciiBufferEdges, LinesAcrossTheBuffersEnds) {
  const BoundaryCase& c = GetParam();
  for (const std::size_t recordSize : {std::size_t(40), std::size_t(128)}) {
    for (const char* quickScan : {"/QUICKSCAN=ON", "/QUICKSCAN=OFF"}) {
      std::string content;
      std::vector<std::string> expected;
      std::vector<std::int64_t> starts;
      for (std::size_t i = 0; i < 400; ++i) {
        const std::size_t length = (i * 37) % 150;
        std::string line = makeLine(length, Special::None, length);
        // Now and then the delimiter's first byte inside the line, once and twice in a row.
        if (c.delimiter.size() > 1 && line.size() > 10 && i % 3 == 0) line[3] = line[7] = line[8] = c.delimiter[0];
        starts.push_back(std::int64_t(content.size()) + 1);
        content += line + c.delimiter;
        expected.push_back(expectedRecord(line, recordSize));
      }
      SCOPED_TRACE(::testing::Message() << "record " << recordSize << " " << quickScan);
      auto f = open(content, recordSize, c.driverString + "/FILEBUFFERS=1" + quickScan);
      std::vector<std::string> got;
      std::vector<std::int64_t> gotStarts;
      for (;;) {
        f->setRecord(std::string(recordSize, 'Q'));
        if (f->call(OpNext) != 0) break;
        got.emplace_back(f->recordText());
        f->call(OpPointerFile);
        gotStarts.push_back(f->answer());
      }
      EXPECT_EQ(got, expected);
      EXPECT_EQ(gotStarts, starts);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Delimiters, AsciiBufferEdges,
                         ::testing::Values(BoundaryCase{"CrLf", "\r\n", ""}, BoundaryCase{"Lf", "\n", "/ENDOFRECORD=1,10"},
                                           BoundaryCase{"Cr", "\r", "/ENDOFRECORD=1,13"},
                                           BoundaryCase{"HashHashLf", "##\n", "/ENDOFRECORD=3,35,35,10"}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(AsciiTest, LineLongerThanTheBufferIsCutAndSkipped) {
  const std::string longLine = makeLine(5000, Special::None, 5000);
  for (const char* quickScan : {"/QUICKSCAN=ON", "/QUICKSCAN=OFF"}) {
    auto f = open("first\r\n" + longLine + "\r\nlast\r\n", 20, std::string("/FILEBUFFERS=1") + quickScan);
    EXPECT_EQ(records(*f), (std::vector<std::string>{"first", longLine.substr(0, 20), "last"})) << quickScan;
  }
}

TEST_F(AsciiTest, ShortReadLeavesTheRestOfTheRecordAlone) {
  // GETfileptrlen fills only the length asked, however far the line goes.
  const std::string line = makeLine(60, Special::None, 60);
  auto f = open(line + "\r\n", 64);
  for (const std::size_t length :
       {std::size_t(0), std::size_t(5), std::size_t(15), std::size_t(16), std::size_t(20), std::size_t(31), std::size_t(33)}) {
    f->setRecord(std::string(64, 'Q'));
    ASSERT_EQ(f->call(OpGetFilePtrLen, {1, std::intptr_t(length)}), 0);
    EXPECT_EQ(f->recordText(), line.substr(0, length) + std::string(64 - length, 'Q')) << length;
  }
}

TEST_F(AsciiTest, DelimiterOfOneByteFoundInEveryStep) {
  std::string content;
  std::vector<std::string> expected;
  for (std::size_t length = 0; length <= 70; ++length) {
    const std::string line = makeLine(length, Special::None, length);
    content += line + "\n";
    expected.push_back(line);
  }
  auto f = open(content, 64, "/ENDOFRECORD=1,10");
  std::vector<std::string> cut;
  for (const std::string& e : expected) cut.push_back(e.substr(0, 64));
  EXPECT_EQ(records(*f), cut);
}

}  // namespace
}  // namespace tamsil::file::testing
