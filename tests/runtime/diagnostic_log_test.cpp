// The diagnostic log (R41LOG.TXT), message names in traces, the message trace, and assertions.
#include <gtest/gtest.h>

#include "runtime/window/runtime_classes.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "runtime/core/diagnostic_log.h"
#include "runtime/core/private_messages.h"
#include "runtime/window/assertion.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/message_trace.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::testing {
namespace {

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class DiagnosticLogTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    ResetDiagnosticLogForTests();
    // CTest runs the cases of this fixture in parallel processes: each needs a log of its own.
    path = ::testing::TempDir() + "r41log_test_" + std::to_string(getpid()) + ".txt";
    SetDiagnosticLogName(path);
  }
  void TearDown() override {
    std::remove(path.c_str());
    ResetDiagnosticLogForTests();
    RuntimeTest::TearDown();
  }
  std::string path;
};

TEST_F(DiagnosticLogTest, TheFirstLineOfARunReplacesTheOldFileAndLaterLinesAppend) {
  std::ofstream(path) << "from an earlier run\r\n";
  DiagnosticLine("one");
  DiagnosticLine("two");
  EXPECT_EQ(readAll(path), "one\r\ntwo\r\n");
}

TEST_F(DiagnosticLogTest, AnEmptyNameWritesNothing) {
  std::ofstream(path) << "kept\r\n";
  SetDiagnosticLogName("");
  DiagnosticLine("lost");
  EXPECT_EQ(readAll(path), "kept\r\n");
  EXPECT_EQ(DiagnosticLogName(), "");
}

TEST_F(DiagnosticLogTest, ANewNameStartsItsOwnFileAfresh) {
  DiagnosticLine("first");
  const std::string other = path + ".2";
  std::ofstream(other) << "old\r\n";
  SetDiagnosticLogName(other);
  DiagnosticLine("second");
  EXPECT_EQ(readAll(path), "first\r\n");
  EXPECT_EQ(readAll(other), "second\r\n");
  std::remove(other.c_str());
}

TEST(TraceNameTest, NamesPrivateMessagesEventsAndPlatformMessagesElseHex) {
  using window::traceMessageName;
  const std::pair<platform::UINT, const char*> cases[] = {
      {0xB001, "QUERY_SETUSE"}, {0xB02E, "QUERY_SIZEMOVE"}, {0xA001, "EVENT:Accepted"}, {0x0111, "WM_COMMAND"}, {0x03E0, "WM_DDE_INITIATE"},
      {0xB015, "0xb015"},       {0xB01B, "0xb01b"},         {0x1234, "0x1234"},         {0xA207, "0xa207"},
  };
  for (const auto& [message, name] : cases) EXPECT_EQ(traceMessageName(message), name) << message;
  // The two messages the runtime registers by name show without their "TW_" prefix.
  window::ensureWindowClass();
  EXPECT_EQ(traceMessageName(platform::RegisterWindowMessageA("TW_QUERY_PSCREEN")), "QUERY_PSCREEN");
  EXPECT_EQ(traceMessageName(platform::RegisterWindowMessageA("tw_query_pfield")), "QUERY_PFIELD");
}

TEST_F(DiagnosticLogTest, TheMessageTraceWritesEveryDeliveredMessage) {
  window::Window w("RuntimeTest$Main", "P1$WINDOW");
  window::OpenWindowOp(w);
  window::SetMessageTraceOn(true);
  platform::SendMessageA(w.handle, QUERY_SETUSE, 0, 0);
  window::SetMessageTraceOn(false);
  platform::SendMessageA(w.handle, QUERY_SETUSE, 0, 0);
  const std::string log = readAll(path);
  EXPECT_NE(log.find(" QUERY_SETUSE 0 0\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("QUERY_SETUSE"), log.rfind("QUERY_SETUSE"));  // once: the trace was off again
  window::CloseWindowOp(w);
}

using DiagnosticLogDeathTest = DiagnosticLogTest;

TEST_F(DiagnosticLogDeathTest, AFailedAssertionIsLoggedAndEndsAsError501) {
  EXPECT_EQ(assertionText("n > 0", "heap.cpp", 12), "Assertion failed: n > 0\r\nFile heap.cpp Line 12");
  const int zero = 0;
  EXPECT_EXIT(TSL_ASSERT(zero > 0), ::testing::ExitedWithCode(2),
              "\"Internal error 01 : Assertion failed: zero > 0\\\\nFile .*diagnostic_log_test.cpp Line");
  EXPECT_NE(readAll(path).find("Assertion failed: zero > 0\r\nFile "), std::string::npos);
}

}  // namespace
}  // namespace tamsil::testing
