// Modal dialogs inside a message handler run a nested loop and return to the handler; scripts
// and defaults answer them when nobody is watching.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/dialogs/dialogs.h"
#include "platform/input/input.h"
#include "platform/input/script.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "tests/platform/platform_test.h"

namespace platform::testing {
namespace {

constexpr UINT kAsk = WM_USER + 100;

class ModalTest : public ::testing::Test {
 protected:
  void TearDown() override {
    script::stop();
    resetWindows();
  }

  // Posts kAsk to a window whose handler shows a Yes/No/Cancel box with No as default, runs the
  // window's loop through GetMessage until the handler has its answer, and returns it.
  int askThroughLoop(const std::string& scriptText) {
    int answer = -1;
    setHook([&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (msg != kAsk) return std::nullopt;
      answer = MessageBoxA(h, "Save changes?", "Question", MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION);
      return 0;
    });
    HWND w = createTestWindow();
    auto parsed = script::parse(scriptText, "test.script");
    EXPECT_TRUE(parsed.errors.empty());
    // Answers are queued by the lines before the action that opens the box.
    size_t answers = 0;
    while (answers < parsed.lines.size() && parsed.lines[answers].verb == "answer") ++answers;
    script::start(std::move(parsed.lines), "test.script");
    for (size_t i = 0; i < answers; ++i) script::step();
    PostMessageA(w, kAsk, 0, 0);
    MSG m;
    while (answer == -1 && GetMessageA(&m, nullptr, 0, 0)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    return answer;
  }
};

TEST_F(ModalTest, QueuedAnswerPressesThatButton) { EXPECT_EQ(askThroughLoop("answer message &Yes\n"), IDYES); }

TEST_F(ModalTest, ScriptPressesAButtonOfTheOpenBox) { EXPECT_EQ(askThroughLoop("idle\npress Cancel\n"), IDCANCEL); }

TEST_F(ModalTest, EnterTakesTheDefaultButton) { EXPECT_EQ(askThroughLoop("idle\nkey Enter\n"), IDNO); }

TEST_F(ModalTest, ScriptThatEndsLeavesTheDefault) { EXPECT_EQ(askThroughLoop("idle\n"), IDNO); }

TEST_F(ModalTest, UnknownButtonInAnAnswerFallsBackToTheDefault) { EXPECT_EQ(askThroughLoop("answer message Maybe\n"), IDNO); }

TEST_F(ModalTest, OwnerIsDisabledWhileTheBoxIsOpenAndEnabledAfter) {
  setHook([&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == kAsk) MessageBoxA(h, "x", "y", MB_OK);
    return std::nullopt;
  });
  HWND w = createTestWindow();
  auto parsed = script::parse("idle\n", "t");
  script::start(std::move(parsed.lines), "t");
  recorded().clear();
  SendMessageA(w, kAsk, 0, 0);
  const auto seen = names(w, {WM_NCACTIVATE, WM_GETDLGCODE});
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen.front(), std::to_string(kAsk));
  EXPECT_NE(std::find(seen.begin(), seen.end(), "WM_ENABLE"), seen.end());
  EXPECT_TRUE(IsWindowEnabled(w));
  EXPECT_EQ(GetActiveWindow(), w);
}

TEST_F(ModalTest, FileDialogTakesTheQueuedPathOrCancels) {
  const auto path = std::filesystem::temp_directory_path() / ("platform-modal-" + std::to_string(getpid()) + ".xls");
  std::ofstream(path) << "x";
  auto parsed = script::parse("answer file " + path.string() + "\nanswer file cancel\n", "t");
  ASSERT_TRUE(parsed.errors.empty());
  script::start(std::move(parsed.lines), "t");
  EXPECT_TRUE(script::step());
  EXPECT_TRUE(script::step());
  FileDialogRequest r;
  r.title = "Select Excel file";
  r.filter = "Excel|*.xls";
  EXPECT_EQ(FileDialog(r), path.string());
  EXPECT_EQ(FileDialog(r), std::nullopt);
  EXPECT_EQ(FileDialog(r), std::nullopt);  // nothing queued: the default, cancel
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace platform::testing
