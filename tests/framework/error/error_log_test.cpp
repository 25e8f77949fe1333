// The error log: one line per shown message in FWKError.Log with the date and time, the open
// count, and failures that add their notes without stopping the report.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <regex>
#include <thread>

#include "runtime/core/thread_context.h"
#include "tests/framework/error/error_test.h"

namespace tamsil::framework::testing {
namespace {

using ErrorLogTest = ErrorTest;

// Fixes the current date for the test's life.
class FixedToday {
 public:
  explicit FixedToday(const char* date) { ::setenv("TAMSIL_TODAY", date, 1); }
  ~FixedToday() { ::unsetenv("TAMSIL_TODAY"); }
};

TEST_F(ErrorLogTest, ALoggedMessageIsOneLineWithDateAndTime) {
  FixedToday today("2026-03-05");
  TestReporter r;
  r.SetLogErrors(true);
  r.Status().SetFile("Orders");
  r.Raise(2);    // Could not get write access to %File so trying read-only.
  r.Raise(999);  // unknown: not shown, not logged
  const auto log = lines("FWKError.Log");
  ASSERT_EQ(log.size(), 1u);
  // The default locale's short date (MM/dd/yy) and time (hh:mm:ss and AM or PM).
  const std::regex shape(R"(^(\d\d)/(\d\d)/(\d\d)@(\d\d):(\d\d):(\d\d) (AM|PM) --> (.*)$)");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(log[0], m, shape)) << log[0];
  EXPECT_EQ(m[1], "03");
  EXPECT_EQ(m[2], "05");
  EXPECT_EQ(m[3], "26");
  EXPECT_LE(std::stoi(m[4]), 12);
  EXPECT_EQ(m[8], "Could not get write access to Orders so trying read-only.");
  EXPECT_TRUE(r.Status().LOGNOTES.empty());
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(ErrorLogTest, LinesAreAppendedToWhatTheLogHolds) {
  {
    std::ofstream out(dir / "FWKError.Log");
    out << "an earlier run\n";
  }
  TestReporter r;
  r.SetLogErrors(true);
  r.Raise(25);
  r.Raise(10);  // questions are logged too
  const auto log = lines("FWKError.Log");
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], "an earlier run");
  EXPECT_TRUE(log[1].ends_with(" --> There are no records available to process.")) << log[1];
  EXPECT_TRUE(log[2].ends_with(" --> Are you sure you want to cancel?")) << log[2];
}

TEST_F(ErrorLogTest, AFatalMessageIsLoggedWithItsClosingText) {
  TestReporter r;
  r.SetLogErrors(true);
  r.Raise(49);
  const auto log = lines("FWKError.Log");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log[0].ends_with("is not a valid WMF file.  Press OK to end this application")) << log[0];
}

TEST_F(ErrorLogTest, ALineBreakInATextEndsTheLine) {
  TestReporter r;
  r.SetLogErrors(true);
  r.DefineError(83, SevInform, "Two", "first%Message");
  r.Status().SetMessage("\nsecond");
  r.Raise(83);
  const auto log = lines("FWKError.Log");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log[0].ends_with(" --> first")) << log[0];
}

TEST_F(ErrorLogTest, OpensAndClosesAreCounted) {
  ErrorLogFile log;
  EXPECT_EQ(log.WriteLine("not open"), SevInform);
  EXPECT_EQ(log.OpenLog(false), SevNone);
  EXPECT_EQ(log.OpenLog(false), SevNone);
  EXPECT_EQ(log.usage(), 2);
  EXPECT_EQ(log.WriteLine("one"), SevNone);
  EXPECT_EQ(log.CloseLog(false), SevNone);
  EXPECT_EQ(log.usage(), 1);
  EXPECT_EQ(log.WriteLine("two"), SevNone);  // still open
  EXPECT_EQ(log.CloseLog(false), SevNone);
  EXPECT_EQ(log.usage(), 0);
  EXPECT_EQ(log.WriteLine("three"), SevInform);
  EXPECT_EQ(log.CloseLog(false), SevNone);  // one close too many leaves the count at 0
  EXPECT_EQ(log.usage(), 0);
  EXPECT_EQ(lines("FWKError.Log"), (std::vector<std::string>{"one", "two"}));
  // A forced close closes whatever the count.
  ASSERT_EQ(log.OpenLog(false), SevNone);
  ASSERT_EQ(log.OpenLog(false), SevNone);
  EXPECT_EQ(log.CloseLog(true), SevNone);
  EXPECT_EQ(log.usage(), 0);
  EXPECT_EQ(log.WriteLine("four"), SevInform);
}

TEST_F(ErrorLogTest, ALogInAMissingFolderFailsAndCreatesNothing) {
  ErrorLogFile log((dir / "missing" / "FWKError.Log").string());
  EXPECT_EQ(log.OpenLog(false), SevInform);
  EXPECT_EQ(log.usage(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

// Threads share the reporter, its history and its log: no line is lost or torn, the history keeps
// its bound, and each thread's texts name its own file.
TEST_F(ErrorLogTest, ThreadsShareTheLogAndTheHistory) {
  TestReporter r;
  r.SetSilent(true);
  r.SetLogErrors(true);
  r.SetHistoryThreshold(5);
  constexpr int kEach = 200;
  const auto raiser = [&r](const char* file) {
    ThreadContextScope context;
    r.Status().SetFile(file);
    for (int i = 0; i < kEach; ++i) r.Raise(2);
  };
  std::thread a(raiser, "Alpha"), b(raiser, "Beta");
  a.join();
  b.join();
  const auto log = lines("FWKError.Log");
  ASSERT_EQ(log.size(), 2u * kEach);
  int alpha = 0, beta = 0;
  for (const std::string& line : log) {
    if (line.ends_with(" --> Could not get write access to Alpha so trying read-only.")) ++alpha;
    else if (line.ends_with(" --> Could not get write access to Beta so trying read-only.")) ++beta;
    else ADD_FAILURE() << line;
  }
  EXPECT_EQ(alpha, kEach);
  EXPECT_EQ(beta, kEach);
  EXPECT_EQ(r.History().size(), 5u);
}

// A log that fails in chosen steps.
class FailingLog : public ErrorLog {
 public:
  std::uint8_t CloseLog(bool) override { return failClose ? SevInform : SevNone; }
  std::uint8_t OpenLog(bool) override { return failOpen ? SevInform : SevNone; }
  std::uint8_t WriteLine(std::string_view line) override {
    written.emplace_back(line);
    return failWrite ? SevInform : SevNone;
  }
  bool failOpen = false, failWrite = false, failClose = false;
  std::vector<std::string> written;
};

struct FailureCase {
  const char* name;
  bool open, write, close;
  const char* notes;
};

class LogFailures : public ErrorTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LogFailures, AddTheirNotesInOrderAndTheMessageIsStillShown) {
  const FailureCase& c = GetParam();
  FailingLog log;
  log.failOpen = c.open;
  log.failWrite = c.write;
  log.failClose = c.close;
  TestReporter r;
  r.SetErrorLog(&log);
  r.SetLogErrors(true);
  r.SetHistoryThreshold(2);
  r.SetHistoryViewLevel(SevHalt);
  EXPECT_EQ(r.Raise(25), SevInform);
  EXPECT_EQ(r.Status().LOGNOTES, c.notes);
  EXPECT_EQ(r.History().size(), 1u);
  EXPECT_EQ(log.written.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(ErrorLog, LogFailures,
                         ::testing::Values(FailureCase{"None", false, false, false, ""},
                                           FailureCase{"Open", true, false, false, "Unable to Open error log; "},
                                           FailureCase{"Write", false, true, false, "Unable to update error log; "},
                                           FailureCase{"Close", false, false, true, "Unable to close error log; "},
                                           FailureCase{"All", true, true, true,
                                                       "Unable to Open error log; Unable to update error log; Unable to close error log; "}),
                         [](const auto& p) { return p.param.name; });

}  // namespace
}  // namespace tamsil::framework::testing
