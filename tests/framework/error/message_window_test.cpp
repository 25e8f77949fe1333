// The message window on the headless backend: buttons by flag from the highest, their texts, the
// default, the icon and the caption; the pressed button's flag as the answer; the history list
// with its two columns; OpenHistory.
#include <gtest/gtest.h>

#include "framework/error/message_window.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/properties.h"
#include "runtime/window/window_object.h"
#include "tests/framework/error/error_test.h"

namespace tamsil::framework::testing {
namespace {

namespace prop = window::prop;

// What the window showed once it was open.
struct Shown {
  std::string title;
  std::vector<std::string> buttons;  // visible buttons from control 100 on
  int hiddenButtons = 0;
  int defaultControl = 0;
  int selected = 0;  // the first control selected
  long image = 0;
  bool imageVisible = false, listVisible = false;
  std::vector<std::string> listItems;
  int listSelection = -1;
};

class LookingWindow : public MessageWindow {
 public:
  Shown shown;
  std::uint8_t HandleEvent() override {
    const std::uint8_t r = MessageWindow::HandleEvent();
    if (window::EventCode() == window::event::OpenWindow) look();
    if (window::EventCode() == window::event::Selected && !shown.selected) shown.selected = window::EventField();
    return r;
  }

 private:
  void look() {
    shown.title = platform::GetWindowTextString(WIN->handle);
    for (int c = kFirstMessageButton; c < kFirstMessageButton + 8; ++c) {
      const window::Control* b = WIN->control(c);
      if (!platform::IsWindowVisible(b->hwnd)) {
        ++shown.hiddenButtons;
        continue;
      }
      shown.buttons.push_back(platform::GetWindowTextString(b->hwnd));
      if (window::GetProperty(*WIN, c, prop::Default).number()) shown.defaultControl = c;
    }
    const window::Control* image = WIN->control(kMessageIcon);
    shown.image = long(platform::ImageStockId(platform::SendMessageA(image->hwnd, platform::STM_GETIMAGE, 0, 0)));
    shown.imageVisible = platform::IsWindowVisible(image->hwnd);
    const window::Control* list = WIN->control(kHistoryList);
    shown.listVisible = platform::IsWindowVisible(list->hwnd);
    const auto count = platform::SendMessageA(list->hwnd, platform::LB_GETCOUNT, 0, 0);
    for (platform::LRESULT i = 0; i < count; ++i) {
      std::string text(std::size_t(platform::SendMessageA(list->hwnd, platform::LB_GETTEXTLEN, platform::WPARAM(i), 0)), '\0');
      platform::SendMessageA(list->hwnd, platform::LB_GETTEXT, platform::WPARAM(i), platform::LPARAM(text.data()));
      shown.listItems.push_back(text);
    }
    shown.listSelection = int(platform::SendMessageA(list->hwnd, platform::LB_GETCURSEL, 0, 0));
  }
};

class MessageWindowTest : public ErrorTest {
 protected:
  // Runs the window with the buttons and default; the script says what the user does.
  LookingWindow& run(int buttons, int defaultButton, const std::string& actions, std::int32_t icon = 0, std::string caption = "") {
    win_ = std::make_unique<window::Window>(kMessageWindowModule, kMessageWindowLabel);
    window_ = std::make_unique<LookingWindow>();
    window_->WIN = win_.get();
    window_->BUTTONTYPES = buttons;
    window_->MSGRVAL = defaultButton;
    window_->ICON = icon;
    window_->CAPTION = std::move(caption);
    if (!view.HISTORY.empty()) {
      view.WIN = win_.get();
      window_->HISTORYHANDLER = &view;
    }
    script(actions);
    window_->Execute();
    return *window_;
  }

  ErrorHistoryView view;

 private:
  std::unique_ptr<window::Window> win_;
  std::unique_ptr<LookingWindow> window_;
};

struct ButtonCase {
  const char* name;
  int buttons, defaultButton;
  std::vector<std::string> texts;  // from control 100 on
  int defaultControl;
};

class ButtonSets : public MessageWindowTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ButtonSets, OneButtonPerFlagFromTheHighest) {
  const ButtonCase& c = GetParam();
  LookingWindow& w = run(c.buttons, c.defaultButton, "");
  EXPECT_EQ(w.shown.buttons, c.texts);
  EXPECT_EQ(w.shown.hiddenButtons, 8 - int(c.texts.size()));
  EXPECT_EQ(w.MSGBUTTONS, int(c.texts.size()));
  EXPECT_EQ(w.shown.defaultControl, c.defaultControl);
  EXPECT_EQ(w.shown.selected, c.defaultControl);
  EXPECT_EQ(w.MSGRVAL, c.defaultButton);  // closed without a press: the default
  EXPECT_EQ(w.OPENED, 0);
  EXPECT_TRUE(w.CAPTION.empty());
}

INSTANTIATE_TEST_SUITE_P(
    MessageWindow, ButtonSets,
    ::testing::Values(ButtonCase{"Ok", BtnOk, BtnOk, {"O&k"}, 100}, ButtonCase{"YesNo", BtnYes | BtnNo, BtnYes, {"&No", "&Yes"}, 101},
                      ButtonCase{"OkHelp", BtnOk | BtnHelp, BtnOk, {"&Help", "O&k"}, 101},
                      ButtonCase{"RetryCancel", BtnRetry | BtnCancel, BtnCancel, {"&Cancel", "&Retry"}, 100},
                      ButtonCase{"All", 255, BtnAbort, {"&Help", "&Cancel", "&Ignore", "&Retry", "&Abort", "&No", "&Yes", "O&k"}, 104},
                      ButtonCase{"DefaultNotOffered", BtnYes | BtnNo, BtnCancel, {"&No", "&Yes"}, 0}),
    [](const auto& p) { return p.param.name; });

TEST_F(MessageWindowTest, APressedButtonAnswersItsFlag) {
  const struct {
    const char* press;
    int answer;
  } cases[] = {{"press Yes", BtnYes}, {"press No", BtnNo}, {"press Abort", BtnAbort}, {"press Help", BtnHelp}};
  for (const auto& c : cases) {
    LookingWindow& w = run(BtnYes | BtnNo | BtnAbort | BtnHelp, BtnNo, c.press);
    EXPECT_EQ(w.MSGRVAL, c.answer) << c.press;
    EXPECT_EQ(w.OPENED, 0);
  }
}

TEST_F(MessageWindowTest, IconAndCaption) {
  LookingWindow& plain = run(BtnOk, BtnOk, "");
  EXPECT_EQ(plain.shown.title, "Error");
  EXPECT_EQ(plain.shown.image, platform::IDI_ASTERISK);  // the information icon when none is given
  EXPECT_TRUE(plain.shown.imageVisible);
  EXPECT_FALSE(plain.shown.listVisible);  // no history: the list stays hidden

  LookingWindow& titled = run(BtnOk, BtnOk, "", IconExclamation, "Careful");
  EXPECT_EQ(titled.shown.title, "Careful");
  EXPECT_EQ(titled.shown.image, platform::IDI_EXCLAMATION);

  EXPECT_EQ(run(BtnOk, BtnOk, "", 0, "   ").shown.title, "Error");  // a blank caption keeps the title
}

TEST_F(MessageWindowTest, TheHistoryListShowsMessageAndCategoryWithTheNewestSelected) {
  view.HISTORY = {{"FWK", "First message", 25}, {"Stock", "Second message", 7}};
  LookingWindow& w = run(BtnOk, BtnOk, "");
  EXPECT_TRUE(w.shown.listVisible);
  EXPECT_EQ(view.LBCOLUMNS, 2);
  EXPECT_EQ(w.shown.listItems, (std::vector<std::string>{"First message\tFWK", "Second message\tStock"}));
  EXPECT_EQ(w.shown.listSelection, 1);
  EXPECT_EQ(view.Cell(2, 1), "Second message");
  EXPECT_EQ(view.Cell(2, 2), "Stock");
  EXPECT_EQ(view.Cell(2, 3), "");
  EXPECT_EQ(view.Cell(3, 1), "");
  EXPECT_EQ(view.Cell(0, 1), "");
}

TEST_F(MessageWindowTest, OpenHistoryOffersOkAndHelp) {
  TestReporter r;
  script("press Help\n");
  EXPECT_EQ(r.OpenHistory(), BtnHelp);
  script("");
  EXPECT_EQ(r.OpenHistory(), BtnOk);
  EXPECT_TRUE(boxes.empty());
}

// A notification at the view level shows the window; a fatal one there shows one Ok button and
// the program ends after it.
TEST_F(MessageWindowTest, MessagesAtTheViewLevelShowTheWindow) {
  TestReporter r;
  r.SetHistoryThreshold(4);
  r.SetHistoryViewLevel(SevInform);
  script("press Ok\n");
  EXPECT_EQ(r.Raise(25), SevInform);
  EXPECT_EQ(r.windowsShown, 1);
  r.SetHistoryViewLevel(SevHalt);
  script("press Ok\n");
  EXPECT_EQ(r.Raise(49), SevHalt);
  EXPECT_EQ(r.windowsShown, 2);
  EXPECT_EQ(r.endedWith, std::vector<int>{kFatalErrorExitCode});
  EXPECT_TRUE(boxes.empty());
  ASSERT_EQ(r.History().size(), 2u);
  EXPECT_TRUE(r.History()[1].TXT.ends_with("  Press OK to end this application"));
}

}  // namespace
}  // namespace tamsil::framework::testing
