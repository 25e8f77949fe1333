// Reading with the text driver: records from lines, long lines, tabs, Ctrl-Z, delimiters,
// positions and saved states.
#include "tests/file/ascii_test_support.h"

namespace tamsil::file::testing {
namespace {

using Lines = std::vector<std::string>;

TEST_F(AsciiTest, ShortLinesFillTheRecordWithBlanksAndPointersCountFromOne) {
  auto f = open("AB\r\nC\r\n", 5);
  ASSERT_EQ(f->call(OpNext), 0);
  EXPECT_EQ(f->recordText(), "AB   ");
  f->call(OpPointerFile);
  EXPECT_EQ(f->answer(), 1);
  ASSERT_EQ(f->call(OpNext), 0);
  EXPECT_EQ(f->recordText(), "C    ");
  f->call(OpPointerFile);
  EXPECT_EQ(f->answer(), 5);
  EXPECT_EQ(f->call(OpNext), 33);
  f->call(OpPointerFile);
  EXPECT_EQ(f->answer(), 0);  // a failed read leaves no current record
}

struct ReadCase {
  const char* name;
  std::string content;
  std::size_t recordSize;
  std::string driverString;
  Lines expected;
};

class AsciiReadTable : public AsciiTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(AsciiReadTable, RecordsAsNextReadsThem) {
  const ReadCase& c = GetParam();
  auto f = open(c.content, c.recordSize, c.driverString);
  EXPECT_EQ(records(*f), c.expected);
}

const ReadCase kReadCases[] = {
    {"LongLineCutNextStartsOnFollowingLine", "ABCDEFGH\r\nXY\r\n", 4, "", {"ABCD", "XY"}},
    {"LineExactlyTheRecord", "ABCD\r\nE\r\n", 4, "", {"ABCD", "E"}},
    {"LastLineWithoutDelimiter", "A\r\nBC", 4, "", {"A", "BC"}},
    {"LongLastLineWithoutDelimiter", "A\r\nBCDEFG", 4, "", {"A", "BCDE"}},
    {"EmptyLines", "\r\n\r\nX\r\n", 4, "", {"", "", "X"}},
    {"LoneCarriageReturnIsData", "A\rB\r\n", 5, "", {"A\rB"}},
    {"TabToNextStopOfEight", "a\tb\r\n", 10, "", {"a       b"}},
    {"TabInThirdPositionGivesSixBlanks", "ab\tc\r\n", 10, "", {"ab      c"}},
    {"TabZeroDropsTheTab", "a\tb\r\n", 10, "/TAB=0", {"ab"}},
    {"TabMinusHundredKeepsTheTab", "a\tb\r\n", 10, "/TAB=-100", {"a\tb"}},
    {"NegativeTabGivesThatManyBlanks", "ab\tc\r\n", 10, "/TAB=-3", {"ab   c"}},
    {"TabFourStops", "a\tbcde\tf\r\n", 14, "/TAB=4", {"a   bcde    f"}},
    {"TabBlanksStopAtTheRecordEnd", "abc\tdef\r\nZ\r\n", 5, "", {"abc", "Z"}},
    {"TabDroppedLineLongerThanItsBytes", "\t\t\t\tab\r\nZ\r\n", 2, "/TAB=0", {"ab", "Z"}},
    {"CtrlZEndsTheData", "A\r\nB\x1A\r\nC\r\n", 5, "", {"A", "B"}},
    {"CtrlZAtLineStartEndsTheData", "A\r\n\x1A\r\nC\r\n", 5, "", {"A"}},
    {"CtrlZInSkippedTailEndsTheData", "ABCDEF\x1AGH\r\nC\r\n", 3, "", {"ABC"}},
    {"CtrlZIsDataWhenSwitchedOff", "A\r\nB\x1A\r\nC\r\n", 5, "/CTRLZISEOF=OFF", {"A", "B\x1A", "C"}},
    {"LineFeedAlone", "A\nB\nC", 3, "/ENDOFRECORD=1,10", {"A", "B", "C"}},
    {"LineFeedAloneKeepsCarriageReturns", "A\r\nB\n", 3, "/ENDOFRECORD=1,10", {"A\r", "B"}},
    {"ThreeCharacterDelimiter", "A**\nB*C**\n", 5, "/ENDOFRECORD=3,42,42,10", {"A", "B*C"}},
    {"PartialDelimiterIsData", "AB*\r\n", 5, "/ENDOFRECORD=1,42/ENDOFRECORD=2,42,42", {"AB*\r\n"}},
    {"SwitchesIgnoreCaseAndBlanks", "a\tb\r\n", 10, " / tab = 0 ", {"ab"}},
    {"ZeroRecordSkipsEachLine", "AB\r\nC\r\n", 0, "", {"", ""}},
    {"TinyBufferStillReadsWholeLines", std::string(3000, 'x') + "\r\nY\r\n", 2000, "/FILEBUFFERS=1", {std::string(2000, 'x'), "Y"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, AsciiReadTable, ::testing::ValuesIn(kReadCases), [](const auto& p) { return std::string(p.param.name); });

TEST_F(AsciiTest, ReadsAgreeWithAndWithoutQuickScan) {
  std::string content;
  for (int i = 0; i < 300; ++i) content += std::string(std::size_t(i % 37), char('a' + i % 26)) + (i % 7 ? "\r\n" : "\t\r\n");
  const Lines quick = records(*open(content, 40, "/QUICKSCAN=ON/FILEBUFFERS=1"));
  const Lines slow = records(*open(content, 40, "/QUICKSCAN=OFF"));
  EXPECT_EQ(quick.size(), 300u);
  EXPECT_EQ(quick, slow);
}

TEST_F(AsciiTest, SharedReaderWithoutQuickScanSeesLinesAddedByAnotherHandle) {
  auto reader = open("A\r\n", 4, "", AccessReadOnly | DenyNone);
  DriverFile writer(asciiDriver(), path("data.txt"), 4);
  ASSERT_EQ(writer.call(OpShare), 0);
  EXPECT_EQ(records(*reader), Lines{"A"});
  writer.setRecord("B");
  ASSERT_EQ(writer.call(OpAdd), 0);
  EXPECT_EQ(records(*reader), Lines{"B"});
}

TEST_F(AsciiTest, ReadsByPositionLeaveTheNextReadAlone) {
  auto f = open("AB\r\nCD\r\nEF\r\n", 4);
  ASSERT_EQ(f->call(OpGetFilePtr, {5}), 0);
  EXPECT_EQ(f->recordText(), "CD  ");
  ASSERT_EQ(f->call(OpNext), 0);
  EXPECT_EQ(f->recordText(), "AB  ");
  ASSERT_EQ(f->call(OpGetFilePtr, {6}), 0);  // any byte position, not only a line start
  EXPECT_EQ(f->recordText(), "D   ");
  EXPECT_EQ(f->call(OpGetFilePtr, {13}), 33);
  EXPECT_EQ(f->call(OpGetFilePtr, {0}), 33);
  f->setRecord("zzzz");
  ASSERT_EQ(f->call(OpGetFilePtrLen, {9, 1}), 0);
  EXPECT_EQ(f->recordText(), "Ezzz");
  ASSERT_EQ(f->call(OpRegetFile, {1}), 0);
  EXPECT_EQ(f->recordText(), "AB  ");
}

TEST_F(AsciiTest, SetFilePointerPositionAndReset) {
  auto f = open("AB\r\nCD\r\nEF\r\n", 4);
  ASSERT_EQ(f->call(OpSetFilePtr, {9}), 0);
  EXPECT_EQ(records(*f), Lines{"EF"});
  ASSERT_EQ(f->call(OpSetFile), 0);
  ASSERT_EQ(f->call(OpNext), 0);
  ASSERT_EQ(f->call(OpNext), 0);
  f->call(OpPositionFile);
  const std::int64_t second = f->answer();
  EXPECT_EQ(second, 5);
  ASSERT_EQ(f->call(OpNext), 0);
  ASSERT_EQ(f->call(OpResetFile, {std::intptr_t(second)}), 0);
  ASSERT_EQ(f->call(OpNext), 0);
  EXPECT_EQ(f->recordText(), "CD  ");
  ASSERT_EQ(f->call(OpSetFilePtr, {0}), 0);
  ASSERT_EQ(f->call(OpNext), 0);
  EXPECT_EQ(f->recordText(), "AB  ");
}

TEST_F(AsciiTest, GetStateAndRestoreStateBringBackThePosition) {
  auto f = open("A\r\nB\r\nC\r\nD\r\n", 3);
  ASSERT_EQ(f->call(OpNext), 0);
  ASSERT_EQ(f->call(OpGetState), 0);
  const std::intptr_t state = std::intptr_t(f->answer());
  EXPECT_NE(state, 0);
  ASSERT_EQ(f->call(OpNext), 0);
  ASSERT_EQ(f->call(OpNext), 0);
  ASSERT_EQ(f->call(OpRestoreState, {state}), 0);
  f->call(OpPointerFile);
  EXPECT_EQ(f->answer(), 1);
  EXPECT_EQ(records(*f), (Lines{"B", "C", "D"}));
  ASSERT_EQ(f->call(OpRestoreState, {state}), 0);  // a state can be restored again
  EXPECT_EQ(records(*f).size(), 3u);
  ASSERT_EQ(f->call(OpFreeState, {state}), 0);
  EXPECT_EQ(f->call(OpRestoreState, {state}), 78);
  EXPECT_EQ(f->call(OpRestoreState), 78);
  EXPECT_EQ(f->call(OpRestoreState, {12345}), 78);
}

TEST_F(AsciiTest, EndOfFileLooksAtTheNextReadPosition) {
  auto f = open("A\r\nB\x1A", 3);
  f->call(OpEof);
  EXPECT_EQ(f->answer(), 0);
  ASSERT_EQ(f->call(OpNext), 0);
  ASSERT_EQ(f->call(OpNext), 0);
  f->call(OpEof);
  EXPECT_EQ(f->answer(), 1);  // at the Ctrl-Z
  ASSERT_EQ(f->send("/CTRLZISEOF=OFF"), 0);
  f->call(OpEof);
  EXPECT_EQ(f->answer(), 0);
  ASSERT_EQ(f->call(OpNext), 0);
  f->call(OpEof);
  EXPECT_EQ(f->answer(), 1);  // no byte left
}

TEST_F(AsciiTest, BytesIsTheSizeOrWhatTheLastReadConsumed) {
  auto f = open("ABC\r\nD\r\n", 8);
  ASSERT_EQ(f->call(OpBytes), 0);
  EXPECT_EQ(f->answer(), 8);
  f->control().recordBytes = true;
  ASSERT_EQ(f->call(OpNext), 0);
  f->call(OpBytes);
  EXPECT_EQ(f->answer(), 5);
  ASSERT_EQ(f->call(OpNext), 0);
  f->call(OpBytes);
  EXPECT_EQ(f->answer(), 3);
}

}  // namespace
}  // namespace tamsil::file::testing
