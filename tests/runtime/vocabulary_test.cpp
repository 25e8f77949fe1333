// The runtime's other numbered vocabularies: event names, private message names and runtime error
// texts, checked against their documented numbers (written here independently of the lists). The
// lists cannot hold a number twice: their lookups are switches, which the compiler rejects then.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "runtime/core/private_messages.h"
#include "runtime/core/runtime_error.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/program_stop.h"

namespace tamsil {
namespace {

TEST(EventNameTest, DocumentedCodesHaveTheirNamesAndOthersNone) {
  const std::pair<int, const char*> cases[] = {
      {0x01, "EVENT:Accepted"},
      {0x1E, "EVENT:ColumnResize"},
      {0x101, "EVENT:Selected"},
      {0x201, "EVENT:CloseWindow"},
      {0x20B, "EVENT:Timer"},
      {0x225, "EVENT:Completed"},
      {0x242, "EVENT:BuildDone"},
      {0x00, ""},
      {0x1F, ""},
      {0x207, ""},
      {0x243, ""},
      {-1, ""},
  };
  for (const auto& [code, name] : cases) EXPECT_EQ(window::eventName(code), name) << code;
  EXPECT_EQ(window::event::CloseDown, 0x202);
  EXPECT_EQ(window::event::Notify, 0x20A);
}

TEST(PrivateMessageTest, DocumentedMessagesHaveTheirNumbersAndTraceNames) {
  const std::pair<platform::UINT, const char*> cases[] = {
      {0xB000, "QUERY_SHUTDOWN"},
      {0xB003, "QUERY_COMMAND"},
      {0xB010, "QUERY_NOTIFY"},
      {0xB02E, "QUERY_SIZEMOVE"},
      {0xB015, ""},
      {0xB01B, ""},
      {0xB009, ""},
      {0xB02F, ""},
  };
  for (const auto& [message, name] : cases) EXPECT_EQ(privateMessageName(message), name) << message;
  EXPECT_EQ(QUERY_BRINGTOTOP, 0xB015u);
  EXPECT_EQ(QUERY_POSTEVENT, 0xB01Bu);
  EXPECT_EQ(QUERY_DOCKQUERY, 0xB00Bu);
}

TEST(RuntimeErrorTest, DocumentedNumbersHaveTheirTexts) {
  const std::pair<int, const char*> cases[] = {
      {526, "Unable to open APPLICATION (APPLICATION already active)"},
      {535, "Window is already open"},
      {542, "Unable to complete operation (system is MODAL)"},
      {545, "Attempt to execute a modal event for not current thread"},
      {501, "Internal error 01"},
      {503, "Internal error 03"},
      {515, "Internal error 15"},
      {500, "Runtime error 500"},
      {516, "Runtime error 516"},
      {546, "Runtime error 546"},
  };
  for (const auto& [number, text] : cases) EXPECT_EQ(RuntimeErrorText(number), text) << number;
  EXPECT_EQ(RuntimeErrorLine(536, "x"), "Window is not open : x");
  EXPECT_EQ(RuntimeErrorLine(536, ""), "Window is not open");
}

TEST(RuntimeErrorTest, FileErrorNumbersTakeTheFileErrorTexts) {
  const std::pair<int, const char*> cases[] = {
      {2, "File Not Found"},      {47, "Invalid Record Declaration"},
      {100, "Trigger Error"},     {301, "Invalid Function"},
      {302, "File Not Found"},    {335, "Unknown Error"},
      {391, "Unknown Error"},     {1, "Runtime error 1"},
      {6, "Runtime error 6"},     {101, "Runtime error 101"},
      {300, "Runtime error 300"}, {392, "Runtime error 392"},
  };
  for (const auto& [number, text] : cases) EXPECT_EQ(RuntimeErrorText(number), text) << number;
}

TEST(RuntimeErrorDeathTest, AReportOfAFileErrorShowsItsText) {
  EXPECT_EXIT(RuntimeErrorReport(RuntimeError(2), "KESTREL.DAT"), ::testing::ExitedWithCode(kRuntimeErrorExitCode),
              "File Not Found : KESTREL.DAT");
}

TEST(RuntimeErrorTest, NamesStandForTheirDocumentedNumbers) {
  const std::pair<RuntimeError, int> cases[] = {
      {RuntimeError::AssertionFailed, 501},     {RuntimeError::InternalNotFound, 502},  {RuntimeError::InternalNoThread, 504},
      {RuntimeError::WindowNotOpened, 529},     {RuntimeError::WindowAlreadyOpen, 535}, {RuntimeError::WindowNotOpen, 536},
      {RuntimeError::AcceptWithoutWindow, 537}, {RuntimeError::OperationModal, 542},    {RuntimeError::ModalEventOnOtherThread, 545},
  };
  for (const auto& [error, number] : cases) EXPECT_EQ(int(error), number);
}

}  // namespace
}  // namespace tamsil
