// Writing with the text driver: clip, lengths, the Ctrl-Z overwrite, overwrites in place,
// read-only files, and the write lock of shared files.
#include "tests/file/ascii_test_support.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/core/error_state.h"

namespace tamsil::file::testing {
namespace {

struct WriteCase {
  const char* name;
  std::string content;
  std::string driverString;
  std::string record;  // set before the write
  int operation;
  std::intptr_t length;  // for the -len forms
  std::string expected;
};

class AsciiWriteTable : public AsciiTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(AsciiWriteTable, FileAfterOneWrite) {
  const WriteCase& c = GetParam();
  auto f = open(c.content, 10, c.driverString);
  f->setRecord(c.record);
  const bool withLength = c.operation == OpAddFileLen || c.operation == OpAppendLen;
  ASSERT_EQ(withLength ? f->call(c.operation, {c.length}) : f->call(c.operation), 0);
  EXPECT_EQ(read(path("data.txt")), c.expected);
}

const WriteCase kWriteCases[] = {
    {"ClipDropsTrailingBlanks", "", "", "Hello", OpAdd, 0, "Hello\r\n"},
    {"ClipOffWritesTheWholeRecord", "", "/CLIP=OFF", "Hello", OpAdd, 0, "Hello     \r\n"},
    {"ClipKeepsInnerBlanks", "", "", "a b  c", OpAppend, 0, "a b  c\r\n"},
    {"BlankRecordIsAnEmptyLine", "X\r\n", "", "", OpAdd, 0, "X\r\n\r\n"},
    {"GivenLength", "", "", "Hello", OpAddFileLen, 3, "Hel\r\n"},
    {"GivenLengthBeyondTheRecordIsTheRecord", "", "/CLIP=OFF", "Hello", OpAppendLen, 50, "Hello     \r\n"},
    {"FirstAppendReplacesTrailingCtrlZ", "A\r\n\x1A", "", "B", OpAdd, 0, "A\r\nB\r\n"},
    {"CtrlZKeptWhenItIsData", "A\r\n\x1A", "/CTRLZISEOF=OFF", "B", OpAdd, 0,
     "A\r\n\x1A"
     "B\r\n"},
    {"OwnDelimiter", "", "/ENDOFRECORD=1,10", "Hi", OpAdd, 0, "Hi\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, AsciiWriteTable, ::testing::ValuesIn(kWriteCases), [](const auto& p) { return std::string(p.param.name); });

TEST_F(AsciiTest, OnlyTheFirstAppendLooksForTheCtrlZ) {
  auto f = open("A\r\n\x1A", 4);
  f->setRecord("B");
  ASSERT_EQ(f->call(OpAdd), 0);
  f->setRecord("\x1A");
  ASSERT_EQ(f->call(OpAdd), 0);
  f->setRecord("C");
  ASSERT_EQ(f->call(OpAdd), 0);
  EXPECT_EQ(read(path("data.txt")), "A\r\nB\r\n\x1A\r\nC\r\n");
}

TEST_F(AsciiTest, PutOverwritesTheCurrentRecordInPlace) {
  auto f = open("AAA\r\nBBB\r\nCCC\r\n", 3);
  EXPECT_EQ(f->call(OpPut), 33);  // no current record yet
  ASSERT_EQ(f->call(OpNext), 0);
  ASSERT_EQ(f->call(OpNext), 0);
  f->setRecord("xyz");
  ASSERT_EQ(f->call(OpPut), 0);
  f->call(OpPointerFile);
  EXPECT_EQ(f->answer(), 6);
  f->setRecord("123");
  ASSERT_EQ(f->call(OpPutFilePtr, {11}), 0);
  f->setRecord("QQ");
  ASSERT_EQ(f->call(OpPutFilePtrLen, {1, 1}), 0);  // one byte and the delimiter
  EXPECT_EQ(read(path("data.txt")), "Q\r\n\r\nxyz\r\n123\r\n");
  EXPECT_EQ(f->call(OpPutFilePtr, {0}), 33);
  EXPECT_EQ(f->call(OpPutFilePtr, {17}), 33);  // past the end (15 bytes): no hole of zero bytes
  EXPECT_EQ(read(path("data.txt")).size(), 15u);
  EXPECT_EQ(f->call(OpPutFilePtrLen, {16, 0}), 0);  // just after the end: a new line there
  EXPECT_EQ(read(path("data.txt")), "Q\r\n\r\nxyz\r\n123\r\n\r\n");
  EXPECT_EQ(f->call(OpPutFilePtrLen, {1}), 78);
  ASSERT_EQ(f->call(OpSetFile), 0);
  EXPECT_EQ(records(*f), (std::vector<std::string>{"Q", "", "xyz", "123", ""}));
}

TEST_F(AsciiTest, ReadOnlyFilesRefuseWritesAndWriteOnlyFilesRefuseReads) {
  auto ro = open("A\r\n", 4, "", AccessReadOnly | DenyNone);
  for (int op : {int(OpAdd), int(OpAppend), int(OpEmpty)}) EXPECT_EQ(ro->call(op), 5) << op;
  EXPECT_EQ(ro->call(OpAddFileLen, {1}), 5);
  auto wo = open("A\r\n", 4, "", AccessWriteOnly | DenyAll, "other.txt");
  EXPECT_EQ(wo->call(OpNext), 5);
  wo->setRecord("B");
  EXPECT_EQ(wo->call(OpAdd), 0);
  EXPECT_EQ(read(path("other.txt")), "A\r\nB\r\n");
}

TEST_F(AsciiTest, EmptyTruncatesAndFlushCommits) {
  auto f = open("A\r\nB\r\n", 4);
  ASSERT_EQ(f->call(OpNext), 0);
  ASSERT_EQ(f->call(OpEmpty), 0);
  EXPECT_EQ(read(path("data.txt")), "");
  EXPECT_EQ(f->call(OpNext), 33);
  f->setRecord("C");
  ASSERT_EQ(f->call(OpAdd), 0);
  ASSERT_EQ(f->call(OpFlush), 0);
  EXPECT_EQ(read(path("data.txt")), "C\r\n");
}

TEST_F(AsciiTest, SharingHoldsBetweenHandles) {
  write("data.txt", "A\r\n");
  const struct {
    unsigned first, second;
    int expected;
  } cases[] = {
      {AccessReadOnly | DenyNone, AccessReadWrite | DenyNone, 0},
      {AccessReadOnly | DenyWrite, AccessReadOnly | DenyWrite, 0},
      {AccessReadOnly | DenyWrite, AccessReadWrite | DenyNone, 64},
      {AccessReadWrite | DenyNone, AccessReadOnly | DenyWrite, 64},
      {AccessReadOnly | DenyAll, AccessReadOnly | DenyNone, 64},
      {AccessReadOnly | DenyNone, AccessReadOnly | DenyAll, 64},
      {AccessWriteOnly | DenyRead, AccessReadOnly | DenyNone, 64},
      {AccessWriteOnly | DenyRead, AccessWriteOnly | DenyNone, 0},
      {AccessReadWrite | 0, AccessReadWrite | 0, 0},
  };
  for (const auto& c : cases) {
    DriverFile a(asciiDriver(), path("data.txt"), 4), b(asciiDriver(), path("data.txt"), 4);
    ASSERT_EQ(a.call(OpOpen, {std::intptr_t(c.first)}), 0);
    EXPECT_EQ(b.call(OpOpen, {std::intptr_t(c.second)}), c.expected) << std::hex << c.first << " then " << c.second;
    if (c.expected == 0) continue;
    EXPECT_EQ(b.call(OpNext), 37);  // the refused open left nothing open
    ASSERT_EQ(a.call(OpClose), 0);
    EXPECT_EQ(b.call(OpOpen, {std::intptr_t(c.second)}), 0) << "once the first is closed";
  }
}

TEST_F(AsciiTest, WriteLockNestsAndExcludesOtherHandles) {
  auto a = open("", 4, "", AccessReadWrite | DenyNone);
  DriverFile b(asciiDriver(), path("data.txt"), 4);
  ASSERT_EQ(b.call(OpShare), 0);
  ASSERT_EQ(a->call(OpLockFile), 0);
  ASSERT_EQ(a->call(OpLockFile), 0);
  EXPECT_EQ(b.call(OpLockFileSec, {0}), 32);
  ASSERT_EQ(a->call(OpUnlock), 0);
  EXPECT_EQ(b.call(OpLockFileSec, {0}), 32);  // still held once
  ASSERT_EQ(a->call(OpUnlock), 0);
  EXPECT_EQ(b.call(OpLockFileSec, {0}), 0);
  EXPECT_EQ(a->call(OpLockFileSec, {0}), 32);
  ASSERT_EQ(b.call(OpUnlock), 0);
  ASSERT_EQ(b.call(OpUnlock), 0);  // an unlock too many changes nothing
  EXPECT_EQ(a->call(OpLockFileSec, {0}), 0);
  ASSERT_EQ(a->call(OpClose), 0);  // closing lets the lock go
  EXPECT_EQ(b.call(OpLockFileSec, {0}), 0);
}

TEST_F(AsciiTest, SharedWriterWaitsForTheLockAndAppendsAfterTheHolder) {
  auto a = open("", 4, "", AccessReadWrite | DenyNone);
  ASSERT_EQ(a->call(OpLockFile), 0);
  std::atomic<bool> done = false;
  int rc = -1;
  std::thread writer([&] {
    ThreadContextScope scope;
    DriverFile b(asciiDriver(), path("data.txt"), 4);
    b.call(OpShare);
    b.setRecord("B");
    rc = b.call(OpAdd);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(done);
  a->setRecord("A");
  ASSERT_EQ(a->call(OpAdd), 0);  // the holder writes under its own lock
  ASSERT_EQ(a->call(OpUnlock), 0);
  writer.join();
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(read(path("data.txt")), "A\r\nB\r\n");
}

TEST_F(AsciiTest, TimedLockRetriesEverySecondAndTracesEachFailure) {
  auto a = open("", 4);
  DriverFile b(asciiDriver(), path("data.txt"), 4);
  ASSERT_EQ(b.call(OpShare), 0);
  const std::string log = path("lock.log");
  ASSERT_EQ(b.send("/LOGFILE=" + log), 0);
  ASSERT_EQ(a->call(OpLockFile), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(b.call(OpLockFileSec, {1}), 32);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  const std::string trace = read(log);
  std::size_t failures = 0;
  for (std::size_t at = trace.find("Locking failed with error 32\r\n"); at != std::string::npos; at = trace.find("Locking failed", at + 1))
    ++failures;
  EXPECT_EQ(failures, 2u);
  EXPECT_NE(trace.find("LOCKfilesec(TEXT,1)"), std::string::npos);
  EXPECT_NE(trace.find("Error: 32 File Is Already Locked"), std::string::npos);
}

}  // namespace
}  // namespace tamsil::file::testing
