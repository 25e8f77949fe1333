// The error history window on the qt backend, offscreen: messages raised while the history is on
// come up in the list of the FWERROR window, message and category under their headings, the newest
// selected; a snapshot of the window is taken as a user would see it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "framework/error/message_window.h"
#include "platform/input/script.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/snapshot.h"
#include "platform/window/window.h"
#include "runtime/core/thread_context.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/window_object.h"
#include "tests/framework/qt/scripted_qt_fixture.h"
#include "tests/platform/qt/qt_test_support.h"

namespace tamsil::framework {
namespace {

// The width and height a PNG file's header gives; 0 by 0 for anything else.
std::pair<int, int> pngSize(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char head[24] = {};
  if (!in.read(reinterpret_cast<char*>(head), sizeof head) || head[1] != 'P' || head[2] != 'N' || head[3] != 'G') return {0, 0};
  const auto word = [&](int at) { return head[at] << 24 | head[at + 1] << 16 | head[at + 2] << 8 | head[at + 3]; };
  return {word(16), word(20)};
}

// A reporter whose message window is looked at on a timer once it is open, through the platform
// windows the widgets mirror.
class LookingReporter : public ErrorReporter {
 public:
  std::vector<std::string> items;
  std::vector<std::string> headings;
  std::vector<int> tabStops;
  int current = -1;
  bool listVisible = false, okVisible = false;
  std::string title, okText;

  int PresentInWindow(std::string_view caption, IconReference icon, int buttons, int defaultButton, int style) override {
    Looking message(*this);
    return RunMessageWindow(message, caption, icon, buttons, defaultButton, style);
  }

 private:
  class Looking : public MessageWindow {
   public:
    explicit Looking(LookingReporter& r) : r_(r) {}
    std::uint8_t HandleEvent() override {
      if (window::EventCode() == window::event::OpenWindow) window::SetWindowTimer(*WIN, 5);
      if (window::EventCode() == window::event::Timer) {
        window::SetWindowTimer(*WIN, 0);
        look();
      }
      return MessageWindow::HandleEvent();
    }

   private:
    void look() {
      r_.title = platform::GetWindowTextString(WIN->handle);
      const platform::HWND list = WIN->control(kHistoryList)->hwnd;
      r_.listVisible = platform::IsWindowVisible(list);
      const auto count = platform::SendMessageA(list, platform::LB_GETCOUNT, 0, 0);
      for (platform::LRESULT i = 0; i < count; ++i) {
        std::string text(std::size_t(platform::SendMessageA(list, platform::LB_GETTEXTLEN, platform::WPARAM(i), 0)), '\0');
        platform::SendMessageA(list, platform::LB_GETTEXT, platform::WPARAM(i), platform::LPARAM(text.data()));
        r_.items.push_back(text);
      }
      r_.current = int(platform::SendMessageA(list, platform::LB_GETCURSEL, 0, 0));
      const platform::ControlState columns = platform::snapshotWindow(list).value().control;
      r_.headings = columns.headings;
      r_.tabStops = columns.tabStops;
      const platform::HWND ok = WIN->control(kFirstMessageButton + 1)->hwnd;  // Help is 100, Ok 101
      r_.okVisible = platform::IsWindowVisible(ok);
      r_.okText = platform::GetWindowTextString(ok);
    }
    LookingReporter& r_;
  };
};

class HistoryOnQt : public kestrel::testing::ScriptedQtFixture {
 protected:
  HistoryOnQt() : ScriptedQtFixture("history") {}
};

TEST_F(HistoryOnQt, TheWindowListsTheMessagesRaisedWithTheirCategories) {
  LookingReporter r;
  r.SetHistoryThreshold(10);
  r.AssignCategory(7, "Stock");
  r.Status().SetFile("Orders");
  ASSERT_EQ(r.Raise(2), SevInform);  // recorded, not shown: below the view level
  ASSERT_EQ(r.Raise(7), SevInform);

  const auto picture = dir_ / "history.png";
  script("wait 100\nsnapshot " + picture.string() + "\npress Ok\n");
  EXPECT_EQ(r.OpenHistory(), BtnOk);

  EXPECT_EQ(r.title, "Errors History");
  EXPECT_TRUE(r.listVisible);
  EXPECT_TRUE(r.okVisible);
  EXPECT_EQ(r.okText, "O&k");
  ASSERT_EQ(r.items.size(), 2u);
  EXPECT_EQ(r.items[0], "Could not get write access to Orders so trying read-only.\tFWK");
  EXPECT_EQ(r.items[1], "This record was changed by another station.\tStock");
  EXPECT_EQ(r.current, 1);
  // The list's format gives the two columns their headings; the message column is the wider.
  EXPECT_EQ(r.headings, (std::vector<std::string>{"Message", "Category"}));
  ASSERT_EQ(r.tabStops.size(), 1u);
  EXPECT_GT(r.tabStops[0], 300);

  const auto [width, height] = pngSize(picture);
  EXPECT_GT(width, 300);
  EXPECT_GT(height, 120);
}

}  // namespace
}  // namespace tamsil::framework
