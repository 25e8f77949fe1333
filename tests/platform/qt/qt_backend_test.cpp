// The Qt backend's services: pictures of windows, waking GetMessage from another thread, the
// help viewer, the clipboard and font metrics.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QTextBrowser>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "platform/backend.h"
#include "platform/desktop/clipboard.h"
#include "platform/dialogs/dialogs.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "tests/platform/qt/qt_sample_window.h"

namespace platform::qt::testing {
namespace {

namespace fs = std::filesystem;

class QtBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrel-qt-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    resetWindows();
    fs::remove_all(dir_);
  }
  fs::path dir_;
};

TEST_F(QtBackendTest, SnapshotIsPngOfWholeWindow) {
  SampleWindow w;
  SendMessageA(w.item(kList), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first item"));
  const std::string path = (dir_ / "sample.png").string();
  std::string error;
  ASSERT_TRUE(backend().snapshot(w.item(kAdd), path, &error)) << error;  // a control names its window
  ASSERT_GT(fs::file_size(path), 0u);
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(path), "PNG"));
  // The whole window: frame and caption drawn around the client area and its menu bar.
  RECT outer;
  GetWindowRect(w.frame, &outer);
  EXPECT_EQ(image.size(), QSize(outer.width(), outer.height()));
  // Something is drawn: the picture is not one flat colour.
  const QRgb corner = image.pixel(0, 0);
  bool varied = false;
  for (int y = 0; y < image.height() && !varied; y += 3)
    for (int x = 0; x < image.width() && !varied; x += 3) varied = image.pixel(x, y) != corner;
  EXPECT_TRUE(varied);
}

TEST_F(QtBackendTest, SnapshotFailsWithReason) {
  SampleWindow w;
  std::string error;
  EXPECT_FALSE(backend().snapshot(reinterpret_cast<HWND>(0x7FFFFFF0), (dir_ / "x.png").string(), &error));
  EXPECT_NE(error.find("not shown"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(backend().snapshot(w.frame, (dir_ / "missing" / "x.png").string(), &error));
  EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}

TEST_F(QtBackendTest, PostFromAnotherThreadWakesGetMessage) {
  const DWORD gui = GetCurrentThreadId();
  const auto start = std::chrono::steady_clock::now();
  Thread poster([gui] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    PostThreadMessageA(gui, WM_APP + 7, 42, 0);
  });
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(msg.message, WM_APP + 7);
  EXPECT_EQ(msg.wParam, 42u);
  EXPECT_GE(waited, std::chrono::milliseconds(100));
  EXPECT_LT(waited, std::chrono::seconds(5)) << "woken by the post, not by a time-out";
}

QTextBrowser* helpViewer() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QStringLiteral("help-viewer")) return qobject_cast<QTextBrowser*>(w);
  return nullptr;
}

TEST_F(QtBackendTest, HelpShowsHtmlBesideClassicHelpFileAndFindsKeyword) {
  std::ofstream(dir_ / "guide.html") << "<html><title>Guide</title><body><p>Intro.</p><p>About printing sheets.</p></body></html>";
  const std::string hlp = (dir_ / "guide.hlp").string();
  ASSERT_TRUE(WinHelpA(nullptr, hlp.c_str(), HELP_KEY, reinterpret_cast<std::uintptr_t>("printing")));
  QTextBrowser* viewer = helpViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->isVisible());
  EXPECT_TRUE(viewer->source().toLocalFile().endsWith(QStringLiteral("guide.html")));
  EXPECT_EQ(viewer->textCursor().selectedText(), QStringLiteral("printing"));
  WinHelpA(nullptr, hlp.c_str(), HELP_HELPONHELP, 0);
  EXPECT_TRUE(viewer->toPlainText().contains(QStringLiteral("Using Help")));
  WinHelpA(nullptr, hlp.c_str(), HELP_QUIT, 0);
  EXPECT_EQ(helpViewer(), nullptr);
}

TEST_F(QtBackendTest, HelpForMissingFileSaysSo) {
  WinHelpA(nullptr, (dir_ / "nothing.chm").string().c_str(), HELP_CONTENTS, 0);
  QTextBrowser* viewer = helpViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->toPlainText().contains(QStringLiteral("cannot be found")));
  WinHelpA(nullptr, nullptr, HELP_QUIT, 0);
}

TEST_F(QtBackendTest, ClipboardIsQtsInBothDirections) {
  SetClipboardText("price \x80 5");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("price € 5"));
  QGuiApplication::clipboard()->setText(QStringLiteral("from Qt"));
  EXPECT_EQ(GetClipboardText().value_or(""), "from Qt");
}

TEST_F(QtBackendTest, FontMetricsGrowWithPointSize) {
  const FontMetrics small = backend().fontMetrics("Sans Serif", 8);
  const FontMetrics large = backend().fontMetrics("Sans Serif", 16);
  EXPECT_GT(small.averageWidth, 0);
  EXPECT_GT(large.averageWidth, small.averageWidth);
  EXPECT_GT(large.height, small.height);
  RECT r{0, 0, 4, 8};  // one average character in dialog units
  MapDialogRectFor(CreateFontA(8, 400, "Sans Serif"), &r);
  EXPECT_EQ(r.right, small.averageWidth);
  EXPECT_EQ(r.bottom, small.height);
}

}  // namespace
}  // namespace platform::qt::testing
