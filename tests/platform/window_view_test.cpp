// A component's view on a window: the window keeps it until it is replaced, removed or the window
// is destroyed; the component's destructor runs without the model lock; only the window's own
// thread puts one on, and not while the window is going; it answers what the window leaves to the
// default.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <thread>

#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/detail/model.h"
#include "platform/window/view.h"
#include "platform/window/window.h"
#include "tests/platform/platform_test.h"

namespace platform::testing {
namespace {

// Records, when it goes, whether another thread could take the model lock then.
struct TestView : WindowView {
  explicit TestView(bool* lockFree = nullptr) : lockFree_(lockFree) {}
  ~TestView() override {
    if (!lockFree_) return;
    std::thread([this] {
      std::unique_lock lock(detail::modelMutex(), std::try_to_lock);
      *lockFree_ = lock.owns_lock();
    }).join();
  }
  bool* lockFree_;
};

class WindowViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = createTestWindow();
    child = CreateWindowExA(0, "static", "", WS_CHILD | WS_VISIBLE, 10, 10, 100, 50, frame, HMENU(1));
  }
  void TearDown() override {
    setHook(nullptr);
    resetWindows();
  }
  HWND frame = nullptr;
  HWND child = nullptr;
};

TEST_F(WindowViewTest, KeptUntilReplacedThenRemoved) {
  auto first = std::make_shared<TestView>();
  std::weak_ptr<WindowView> firstGone = first;
  EXPECT_EQ(GetWindowView(child), nullptr);
  ASSERT_TRUE(SetWindowView(child, std::move(first)));
  EXPECT_EQ(GetWindowView(child), firstGone.lock());
  EXPECT_EQ(GetWindowView(frame), nullptr);  // the window's alone

  auto second = std::make_shared<TestView>();
  std::weak_ptr<WindowView> secondGone = second;
  ASSERT_TRUE(SetWindowView(child, std::move(second)));
  EXPECT_TRUE(firstGone.expired());
  EXPECT_EQ(GetWindowView(child), secondGone.lock());

  ASSERT_TRUE(SetWindowView(child, nullptr));
  EXPECT_TRUE(secondGone.expired());
  EXPECT_EQ(GetWindowView(child), nullptr);
}

TEST_F(WindowViewTest, ReleasedWithTheWindowOrItsParent) {
  auto own = std::make_shared<TestView>();
  auto inner = std::make_shared<TestView>();
  std::weak_ptr<WindowView> ownGone = own, innerGone = inner;
  const HWND sibling = CreateWindowExA(0, "static", "", WS_CHILD, 0, 0, 10, 10, frame, HMENU(2));
  ASSERT_TRUE(SetWindowView(sibling, std::move(own)));
  ASSERT_TRUE(SetWindowView(child, std::move(inner)));

  DestroyWindow(sibling);
  EXPECT_TRUE(ownGone.expired());
  EXPECT_FALSE(innerGone.expired());
  DestroyWindow(frame);
  EXPECT_TRUE(innerGone.expired());
  EXPECT_EQ(GetWindowView(child), nullptr);
}

// The view's destructor is the component's code: it may reach the platform from any thread.
TEST_F(WindowViewTest, LetGoWithoutTheModelLock) {
  bool replacedFree = false, destroyedFree = false;
  ASSERT_TRUE(SetWindowView(child, std::make_shared<TestView>(&replacedFree)));
  ASSERT_TRUE(SetWindowView(child, std::make_shared<TestView>(&destroyedFree)));
  EXPECT_TRUE(replacedFree);
  DestroyWindow(child);
  EXPECT_TRUE(destroyedFree);
}

TEST_F(WindowViewTest, RefusedForStaleForeignOrDyingWindows) {
  const HWND stale = CreateWindowExA(0, "static", "", WS_CHILD, 0, 0, 10, 10, frame, HMENU(3));
  DestroyWindow(stale);
  EXPECT_FALSE(SetWindowView(stale, std::make_shared<TestView>()));
  EXPECT_EQ(GetWindowView(stale), nullptr);

  BOOL fromOtherThread = TRUE;
  std::thread([&] { fromOtherThread = SetWindowView(child, std::make_shared<TestView>()); }).join();
  EXPECT_FALSE(fromOtherThread);
  EXPECT_EQ(GetWindowView(child), nullptr);

  // A view put on while the window is being destroyed would outlive it.
  std::weak_ptr<WindowView> lateGone;
  BOOL duringDestroy = TRUE;
  setHook([&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (hwnd == frame && msg == WM_DESTROY) {
      auto late = std::make_shared<TestView>();
      lateGone = late;
      duringDestroy = SetWindowView(frame, std::move(late));
    }
    return std::nullopt;
  });
  DestroyWindow(frame);
  EXPECT_FALSE(duringDestroy);
  EXPECT_TRUE(lateGone.expired());
}

// Answers the copy command itself and leaves every other message to the default.
struct AnsweringView : WindowView {
  std::optional<LRESULT> message(HWND, UINT msg, WPARAM, LPARAM) override {
    if (msg != WM_COPY) return std::nullopt;
    ++copies;
    return 7;
  }
  int copies = 0;
};

TEST_F(WindowViewTest, AnswersWhatTheWindowsProcedureLeavesToTheDefault) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "ViewHostTest";
  RegisterClassA(wc);
  const HWND host = CreateWindowExA(0, "ViewHostTest", "text", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, frame, HMENU(2));
  auto view = std::make_shared<AnsweringView>();
  ASSERT_TRUE(SetWindowView(host, view));
  EXPECT_EQ(SendMessageA(host, WM_COPY, 0, 0), 7);
  EXPECT_EQ(view->copies, 1);
  EXPECT_EQ(SendMessageA(host, WM_GETTEXTLENGTH, 0, 0), 4);  // the default answers the rest
  ASSERT_TRUE(SetWindowView(host, nullptr));
  EXPECT_EQ(SendMessageA(host, WM_COPY, 0, 0), 0);
  EXPECT_EQ(view->copies, 1);
}

}  // namespace
}  // namespace platform::testing
