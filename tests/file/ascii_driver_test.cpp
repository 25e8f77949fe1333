// The text driver as a whole: driver string switches and SEND, the builder's check, opening and
// creating, the operations it refuses, names, the record cipher, remote files, unnamed files and
// tracing through the dispatcher.
#include "tests/file/ascii_test_support.h"

#include "platform/input/script.h"
#include "runtime/core/error_state.h"
#include "runtime/file/ascii_switches.h"
#include "tests/platform/platform_test.h"

namespace tamsil::file::testing {
namespace {

TEST(AsciiSwitchesTest, DriverStringsAreReadWithoutBlanksAndCase) {
  const auto switches = parseDriverString(" / tab = -4 /clip=off//QuickScan /x=1=2");
  ASSERT_EQ(switches.size(), 4u);
  EXPECT_EQ(switches[0].name, "TAB");
  EXPECT_EQ(switches[0].value, "-4");
  EXPECT_EQ(switches[1].which(), SwitchName::Clip);
  EXPECT_EQ(switches[1].value, "OFF");
  EXPECT_FALSE(switches[2].hasValue);
  EXPECT_EQ(switches[3].which(), SwitchName::Unknown);
  EXPECT_EQ(switches[3].value, "1=2");
}

TEST(AsciiSwitchesTest, ValuesChangeOnlyWhenReadable) {
  const struct {
    const char* text;
    std::string previous;
    std::string after;  // composeDriverString of the result
  } cases[] = {
      {"/TAB=4", "8", "/TAB=4"},
      {"/TAB=x-12", "8", "/TAB=-12"},
      {"/TAB=abc", "8", ""},
      {"/TAB", "8", ""},
      {"/CLIP=OFF", "ON", "/CLIP=OFF"},
      {"/CLIP=NO", "ON", ""},
      {"/CTRLZISEOF=off", "ON", "/CTRLZISEOF=OFF"},
      {"/QUICKSCAN=ON", "OFF", "/QUICKSCAN=ON"},
      {"/ENDOFRECORD=1,10", "\r\n", "/ENDOFRECORD=1,10"},
      {"/ENDOFRECORD=2,13", "\r\n", ""},
      {"/ENDOFRECORD=0", "\r\n", ""},
      {"/ENDOFRECORD=1,256", "\r\n", ""},
      {"/ENDOFRECORD=17,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1", "\r\n", ""},
      {"/FILEBUFFERS=4", "512", "/FILEBUFFERS=4"},
      {"/FILEBUFFERS=n4", "512", "/FILEBUFFERS=4"},
  };
  for (const auto& c : cases) {
    AsciiSwitches s;
    const auto sw = parseDriverString(c.text);
    ASSERT_EQ(sw.size(), 1u) << c.text;
    EXPECT_EQ(applySwitch(sw[0], s), c.previous) << c.text;
    EXPECT_EQ(composeDriverString(s), c.after) << c.text;
  }
  AsciiSwitches s;
  EXPECT_EQ(applySwitch(parseDriverString("/NOSUCH=1")[0], s), std::nullopt);
}

TEST(AsciiSwitchesTest, BufferCounts) {
  EXPECT_EQ(bufferBytesFor(0), 0u);
  EXPECT_EQ(bufferBytesFor(3), 1536u);
  EXPECT_EQ(bufferBytesFor(8'388'607), 8'388'607u * 512);
  EXPECT_EQ(bufferBytesFor(8'388'608), 4'294'967'263u);
}

TEST(AsciiSwitchesTest, BuilderNamesEveryPoorlyFormedSwitch) {
  EXPECT_TRUE(driverStringProblems("/clip = off /tab=-4/ENDOFRECORD=1,10/FILEBUFFERS=8/QUICKSCAN=ON/CTRLZISEOF=OFF").empty());
  const auto problems = driverStringProblems("/FOO=1/TAB/ENDOFRECORD=2,13/CLIP=MAYBE/FILEBUFFERS=x/QUICKSCAN=");
  const std::vector<std::string> expected = {
      "/FOO is not a valid switch",
      "/TAB has no value",
      "/ENDOFRECORD has missing value",
      "/CLIP has an incorrect value of MAYBE.  Value ignored,",
      "/FILEBUFFERS has an incorrect value of X.  Value ignored,",
      "/QUICKSCAN has missing value",
  };
  EXPECT_EQ(problems, expected);
}

TEST_F(AsciiTest, SendReturnsThePreviousValueAndApplies) {
  auto f = open("a\tb\r\n", 10, "", AccessReadWrite | DenyNone);
  const struct {
    const char* command;
    const char* answer;
  } steps[] = {
      {"/FILEBUFFERS", "512"},       {"/FILEBUFFERS=4", "512"}, {"/FILEBUFFERS", "2048"}, {"/tab = 4", "8"},           {"/TAB", "4"},
      {"/QUICKSCAN=ON", "OFF"},      {"/CLIP=OFF", "ON"},       {"/CLIP", "OFF"},         {"/CTRLZISEOF=maybe", "ON"}, {"/CTRLZISEOF", "ON"},
      {"/ENDOFRECORD=1,10", "\r\n"}, {"/ENDOFRECORD", "\n"},    {"/NOSUCH", ""},          {"REGISTER", "ASCII"},
  };
  for (const auto& s : steps) {
    std::string answer = "unset";
    EXPECT_EQ(f->send(s.command, &answer), 0) << s.command;
    EXPECT_EQ(answer, s.answer) << s.command;
  }
}

TEST_F(AsciiTest, BufferSizeFollowsSharingRecordAndLimit) {
  std::string answer;
  open("", 10, "", AccessReadOnly | DenyWrite)->send("/FILEBUFFERS", &answer);
  EXPECT_EQ(answer, "1024");
  open("", 700, "", AccessReadOnly | DenyNone)->send("/FILEBUFFERS", &answer);
  EXPECT_EQ(answer, "1400");
  open("", 10, "/FILEBUFFERS=0")->send("/FILEBUFFERS", &answer);
  EXPECT_EQ(answer, "13");  // never less than a record, its delimiter and one byte
  open("", 10, "/FILEBUFFERS=99999999")->send("/FILEBUFFERS", &answer);
  EXPECT_EQ(answer, std::to_string(kMaxBufferBytes));
}

TEST_F(AsciiTest, QuickScanDefaultsFollowSharing) {
  const struct {
    unsigned mode;
    const char* quickScan;
  } cases[] = {{DenyAll, "ON"}, {DenyWrite, "ON"}, {DenyRead, "ON"}, {DenyNone, "OFF"}, {0, "OFF"}};
  for (const auto& c : cases) {
    std::string answer;
    open("", 4, "", AccessReadOnly | c.mode)->send("/QUICKSCAN", &answer);
    EXPECT_EQ(answer, c.quickScan) << c.mode;
  }
}

TEST_F(AsciiTest, RegisterMakesTheNextCallStartAFreshState) {
  auto f = open("A\r\n", 4);
  std::string answer;
  ASSERT_EQ(f->send("/REGISTER", &answer), 0);
  EXPECT_EQ(answer, "ASCII");
  EXPECT_EQ(f->call(OpNext), 37);  // the fresh state has no open file
  ASSERT_EQ(f->call(OpOpen, {AccessReadOnly}), 0);
  EXPECT_EQ(records(*f), std::vector<std::string>{"A"});
}

TEST_F(AsciiTest, ImportFileIsRefusedWithAMessageUnlessSilent) {
  auto f = open("", 4);
  auto parsed = platform::script::parse("answer message OK\n", "t");
  ASSERT_TRUE(parsed.errors.empty());
  platform::script::start(std::move(parsed.lines), "t");
  EXPECT_TRUE(platform::script::step());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(f->send("IMPORTFILE"), 37);
  f->control().silent = true;
  EXPECT_EQ(f->send(" / importfile"), 37);
  const std::string shown = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find("\"File Import\" \"File Driver does not support File Import\""), std::string::npos) << shown;
  EXPECT_EQ(shown.find("message box", shown.find("message box") + 1), std::string::npos) << "one box only: " << shown;
  platform::script::stop();
  platform::testing::resetWindows();
}

TEST_F(AsciiTest, OpeningAndCreating) {
  DriverFile missing(asciiDriver(), path("missing.txt"), 4);
  EXPECT_EQ(missing.call(OpOpen), 2);
  EXPECT_EQ(missing.call(OpNext), 37);
  EXPECT_EQ(missing.call(OpCreate), 54);  // not declared with CREATE
  missing.declaration().create = true;
  ASSERT_EQ(missing.call(OpCreate), 0);
  ASSERT_EQ(missing.call(OpOpen), 0);
  EXPECT_EQ(missing.call(OpNext), 33);
  DriverFile folder(asciiDriver(), dir_.string(), 4);
  EXPECT_EQ(folder.call(OpOpen, {AccessReadOnly}), 36);
  DriverFile under(asciiDriver(), path("missing.txt/x"), 4);
  EXPECT_EQ(under.call(OpOpen), 3);
  DriverFile byLabel(asciiDriver(), "", 4);
  byLabel.declaration().label = path("data.txt");
  write("data.txt", "L\r\n");
  ASSERT_EQ(byLabel.call(OpOpen), 0);
  EXPECT_EQ(records(byLabel), std::vector<std::string>{"L"});
}

TEST_F(AsciiTest, OperationsOutsideTheTableGiveEighty) {
  auto f = open("A\r\n", 4);
  for (int op :
       {int(OpPrevious), int(OpDelete), int(OpGetFileKey), 18 /*HOLDfile*/, 26 /*PACK*/, 32 /*RECORDSfile*/, 58 /*WATCH*/, 0, 105, -1}) {
    EXPECT_EQ(f->call(op), 80) << op;
    EXPECT_EQ(tamsil::currentErrorState().text.substr(0, 32), "Unsupported File Driver Function") << op;
  }
  for (int op : {int(OpStartTran), int(OpEndTran), int(OpInView), int(OpEndView), int(OpQueryView)}) EXPECT_EQ(f->call(op), 0) << op;
}

TEST_F(AsciiTest, NamesRemoveRenameAndCopy) {
  auto f = open("A\r\n", 4);
  f->call(OpName);
  EXPECT_EQ(f->control().answerText, path("data.txt"));
  const std::string copied = path("copy.txt"), renamed = path("renamed.txt");
  const std::string_view copyName = copied, renameName = renamed;
  ASSERT_EQ(f->call(OpCopy, {textArgument(copyName)}), 0);
  EXPECT_EQ(read(copied), "A\r\n");
  ASSERT_EQ(f->call(OpRename, {textArgument(renameName)}), 0);
  f->call(OpName);
  EXPECT_EQ(f->control().answerText, renamed);
  EXPECT_FALSE(std::filesystem::exists(path("data.txt")));
  ASSERT_EQ(f->call(OpRemove), 0);
  EXPECT_FALSE(std::filesystem::exists(renamed));
  EXPECT_EQ(f->call(OpRemove), 2);
  EXPECT_EQ(f->call(OpCopy, {textArgument(copyName)}), 2);
  EXPECT_EQ(f->call(OpRename), 45);
  DriverFile under(asciiDriver(), copied + "/x", 4);
  EXPECT_EQ(under.call(OpRemove), 3);
}

TEST_F(AsciiTest, EncryptedFilesPassRecordsThroughTheCipher) {
  setRecordCipher({[](std::span<std::byte> d) {
                     for (std::byte& b : d) b = std::byte(std::uint8_t(b) + 1);
                   },
                   [](std::span<std::byte> d) {
                     for (std::byte& b : d) b = std::byte(std::uint8_t(b) - 1);
                   }});
  auto f = open("", 6);
  f->declaration().encrypt = true;
  f->setRecord("ABC");
  ASSERT_EQ(f->call(OpAdd), 0);
  EXPECT_EQ(read(path("data.txt")), "BCD\r\n");
  EXPECT_EQ(f->recordText(), "ABC   ");  // the caller's record is not changed
  ASSERT_EQ(f->call(OpNext), 0);
  EXPECT_EQ(f->recordText().substr(0, 3), "ABC");
  setRecordCipher({});
}

struct RemoteLog {
  static inline int connectAnswer = 0;
  static inline std::vector<int> forwarded;
};

TEST_F(AsciiTest, RemoteFilesGoThroughTheHooks) {
  DriverFile f(asciiDriver(), path("remote.txt"), 4);
  f.control().remote = true;
  setRemoteHooks({});
  EXPECT_EQ(f.call(OpOpen), 80);
  setRemoteHooks({[](FileControl&) { return RemoteLog::connectAnswer; },
                  [](int op, FileControl&, std::span<const std::intptr_t>) {
                    RemoteLog::forwarded.push_back(op);
                    return 0;
                  }});
  for (int refused : {95, 96}) {
    RemoteLog::connectAnswer = refused;
    EXPECT_EQ(f.call(OpOpen), refused);
  }
  RemoteLog::connectAnswer = 0;
  EXPECT_EQ(f.call(OpOpen), 0);
  EXPECT_EQ(f.call(OpNext), 0);
  for (int op : {int(OpAdd), int(OpPut), int(OpRemove), int(OpFlush), int(OpAppend)}) EXPECT_EQ(f.call(op), 80) << op;
  EXPECT_EQ(RemoteLog::forwarded, (std::vector<int>{OpOpen, OpNext}));
  setRemoteHooks({});
}

TEST_F(AsciiTest, UnnamedFileAsksForANameAndReadsLinesOf255) {
  write("notes.TXT", std::string(300, 'n') + "\r\nshort\r\n");
  write("notes", "");  // the dialog's choice must exist; the driver then adds ".TXT"
  auto parsed = platform::script::parse("answer file " + path("notes") + "\nanswer file cancel\n", "t");
  ASSERT_TRUE(parsed.errors.empty()) << parsed.errors.front();
  platform::script::start(std::move(parsed.lines), "t");
  EXPECT_TRUE(platform::script::step());
  EXPECT_TRUE(platform::script::step());
  FileControl control;
  dispatch(asciiDriver(), OpOpen, control, {});
  ASSERT_EQ(currentErrorState().code, 0);
  ASSERT_NE(control.declaration, nullptr);
  EXPECT_EQ(control.declaration->name, path("notes.TXT"));
  ASSERT_EQ(control.declaration->fields.size(), 1u);
  EXPECT_EQ(control.declaration->fields[0].label, "Line");
  ASSERT_EQ(control.record.size(), 255u);
  dispatch(asciiDriver(), OpNext, control, {});
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(control.record.data()), 255), std::string(255, 'n'));
  dispatch(asciiDriver(), OpDestroy, control, {});
  EXPECT_EQ(control.declaration, nullptr);
  EXPECT_EQ(control.driverData, nullptr);
  dispatch(asciiDriver(), OpOpen, control, {});  // cancelled
  EXPECT_EQ(currentErrorState().code, 45);
  dispatch(asciiDriver(), OpDestroy, control, {});
  platform::script::stop();
}

TEST_F(AsciiTest, TracedThroughTheDispatcher) {
  auto f = open("AB\r\n", 4);
  const std::string log = path("ascii.log");
  ASSERT_EQ(f->send("/LOGFILE=" + log + " [reading]"), 0);
  ASSERT_EQ(f->call(OpNext), 0);
  EXPECT_EQ(f->call(OpNext), 33);
  const std::string trace = read(log);
  EXPECT_NE(trace.find("reading\r\n"), std::string::npos);
  EXPECT_NE(trace.find("NEXT(TEXT)\r\n"), std::string::npos);
  EXPECT_NE(trace.find("Error: 33 Record Not Available Time Taken:"), std::string::npos);
}

TEST_F(AsciiTest, DescriptorNamesAndTable) {
  const DriverDescriptor& d = asciiDriver();
  EXPECT_EQ(d.shortName, "ASCII");
  EXPECT_EQ(d.libraryName, "R41ASCX.DLL");
  EXPECT_EQ(d.displayName, "ASCII (Text)");
  EXPECT_EQ(d.operations.count(), 41u);
  EXPECT_FALSE(d.dataTypes.test(TypeMemo));
  EXPECT_FALSE(d.dataTypes.test(TypeBlob));
  EXPECT_TRUE(d.dataTypes.test(TypeString));
}

}  // namespace
}  // namespace tamsil::file::testing
