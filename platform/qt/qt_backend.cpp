#include "platform/qt/qt_backend.h"
#include "platform/ascii.h"
#include "platform/qt/qt_frame.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QFontMetrics>
#include <QMimeData>
#include <QPixmap>
#include <QScreen>
#include <QSessionManager>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/desktop/system.h"
#include "platform/qt/deferred_icon_style.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_help.h"
#include "platform/qt/qt_input.h"
#include "platform/qt/qt_mirror.h"
#include "platform/qt/qt_native_events.h"
#include "platform/qt/qt_text.h"
#include "platform/queue/thread.h"
#include "platform/window/snapshot.h"
#include "platform/window/window.h"

namespace platform::qt {

namespace {

using Clock = std::chrono::steady_clock;

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

class QtBackend final : public Backend {
 public:
  QtBackend(std::unique_ptr<QApplication> app, DWORD guiThread)
      : app_(std::move(app)), guiThread_(guiThread), mirror_(guiThread), input_(mirror_) {
    const QString platform = QGuiApplication::platformName();
    interactive_ = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(new DeferredIconStyle);  // the application owns it
    app_->installEventFilter(&input_);
    app_->installNativeEventFilter(&nativeWatch_);
    // Other threads read the clipboard from this copy; QClipboard belongs to the GUI thread.
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, app_.get(), [this] { cacheClipboard(); });
    // The desktop session is ending: the program's windows are asked and may keep it going.
    QObject::connect(app_.get(), &QGuiApplication::commitDataRequest, app_.get(), [](QSessionManager& session) {
      if (!QueryEndSession()) session.cancel();
    });
    cacheClipboard();
  }

  ~QtBackend() override {
    app_->removeNativeEventFilter(&nativeWatch_);
    app_->removeEventFilter(&input_);
  }

  std::string_view name() const override { return "qt"; }
  bool interactive() const override { return interactive_; }

  // Qt work happens on the GUI thread only. Windows of other threads are not mirrored: their
  // messages are theirs to pump, and Qt widgets cannot live on those threads.
  bool onGuiThread() const { return QThread::currentThread() == app_->thread(); }

  void wait(ThreadQueue& queue, ThreadQueue::Deadline deadline) override {
    if (queue.thread() != guiThread_ || !onGuiThread()) return Backend::wait(queue, deadline);
    mirror_.settle();
    // The timer only ends Qt's wait at the deadline; it is re-armed should it ever fire early.
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    // A person's action may leave platform input to feed (a menu choice) rather than a message;
    // the queue counts that as work too.
    while (!queue.hasWork()) {
      if (deadline) {
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
        if (ms <= 0) return;
        if (!timer.isActive()) timer.start(int(std::min<long long>(ms, 24LL * 3600 * 1000)));
      }
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
  }

  void wake(ThreadQueue& queue) override {
    Backend::wake(queue);
    if (queue.thread() == guiThread_)
      if (auto* dispatcher = QAbstractEventDispatcher::instance(app_->thread())) dispatcher->wakeUp();
  }

  void pump() override {
    if (onGuiThread()) QCoreApplication::processEvents(QEventLoop::AllEvents);
  }

  void windowCreated(HWND hwnd) override {
    if (onGuiThread()) mirror_.created(hwnd);
  }
  void windowDestroyed(HWND hwnd) override {
    if (onGuiThread()) mirror_.destroyed(hwnd);
  }
  void windowChanged(HWND hwnd, Change what) override {
    onGui([this, hwnd, what] { mirror_.changed(hwnd, what); });
  }
  void menuChanged(HMENU menu) override {
    onGui([this, menu] { mirror_.menuChanged(menu); });
  }

  // Measured once per face and size: a window's controls ask for their font's metrics one by one,
  // and each measure shapes the 52 letters again.
  FontMetrics fontMetrics(std::string_view face, int points) override {
    std::string key = ascii::lowered(face) + '/' + std::to_string(points);
    std::lock_guard hold(fontMetricsMutex_);
    auto [at, fresh] = fontMetrics_.try_emplace(std::move(key));
    if (fresh) at->second = measureFont(face, points);
    return at->second;
  }

  static FontMetrics measureFont(std::string_view face, int points) {
    QFont font = ascii::equalsNoCase(face, "System") ? QApplication::font() : QFont(toQt(face));
    if (points > 0) font.setPointSize(points);
    const QFontMetrics fm(font);
    // As the platform's dialog base units: the 52 letters' width averaged, rounded half up.
    const int letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {std::max(1, (letters / 26 + 1) / 2), std::max(1, fm.height())};
  }

  RECT workArea() override {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0, 1280, 800};
    const QRect r = screen->availableGeometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  }

  std::optional<std::string> fileDialog(const FileDialogRequest& request) override {
    if (!onGuiThread()) return std::nullopt;
    return runFileDialog(parentFor(request.owner), request);
  }

  std::optional<DWORD> textOffsetAt(HWND hwnd, POINT at) override {
    if (!onGuiThread()) return std::nullopt;
    const WidgetAdapter* adapter = mirror_.adapterOf(hwnd);
    QWidget* widget = mirror_.outerOf(hwnd);
    const auto w = snapshotWindow(hwnd);
    if (!adapter || !widget || !w) return std::nullopt;
    // The widget includes the control's border; the platform's client coordinates start inside it.
    return adapter->textOffsetAt(widget, *w, int(at.x + w->frame.left), int(at.y + w->frame.top));
  }
  bool printSetup(HWND owner) override { return onGuiThread() && runPrintSetup(parentFor(owner)); }

  void showHelp(const HelpRequest& request) override {
    onGui([this, request] { help_.show(request); });
  }

  std::optional<std::string> clipboardText() override {
    std::lock_guard lock(clipboardMutex_);
    return clipboard_;
  }

  void setClipboardText(const std::string& text) override {
    {
      std::lock_guard lock(clipboardMutex_);
      clipboard_ = text;
    }
    onGui([text] { QGuiApplication::clipboard()->setText(toQt(text)); });
  }

  bool snapshot(HWND window, const std::string& path, std::string* error) override {
    auto fail = [error](std::string reason) {
      if (error) *error = std::move(reason);
      return false;
    };
    if (!onGuiThread()) return fail("pictures are taken on the thread that shows the windows");
    QWidget* widget = mirror_.outerOf(GetAncestorTop(window));
    if (!widget) return fail("the window is not shown by this backend (no live top-level window of the GUI thread)");
    mirror_.settle();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    const QPixmap picture = widget->grab();
    if (picture.isNull()) return fail("the window has nothing to draw (zero size)");
    const HWND top = GetAncestorTop(window);
    const auto model = snapshotWindow(top);
    if (!model) return fail("the window is gone");
    const QImage framed = framedWindow(picture, toQt(GetWindowTextString(top)), model->frame, GetActiveWindow() == top,
                                       (model->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) != 0);
    if (!framed.save(QString::fromLocal8Bit(path.c_str()), "PNG")) return fail("cannot write '" + path + "'");
    return true;
  }

 private:
  template <typename F>
  void onGui(F&& f) {
    if (onGuiThread()) f();
    else QMetaObject::invokeMethod(app_.get(), std::forward<F>(f), Qt::QueuedConnection);
  }

  QWidget* parentFor(HWND owner) const {
    QWidget* w = mirror_.outerOf(GetAncestorTop(owner));
    return w && w->isVisible() ? w : nullptr;
  }

  void cacheClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    std::lock_guard lock(clipboardMutex_);
    if (data && data->hasText()) clipboard_ = fromQt(data->text());
    else clipboard_.reset();
  }

  // Declared first so the widgets of the members below go before the application.
  std::unique_ptr<QApplication> app_;
  DWORD guiThread_;
  bool interactive_ = true;
  WindowMirror mirror_;
  InputFilter input_;
  NativeWindowWatch nativeWatch_{mirror_};
  HelpViewer help_;
  std::mutex clipboardMutex_;
  std::mutex fontMetricsMutex_;
  std::map<std::string, FontMetrics> fontMetrics_;
  std::optional<std::string> clipboard_;
};

}  // namespace

std::unique_ptr<Backend> createBackend(int& argc, char** argv, std::string* error) {
  auto fail = [error](std::string reason) -> std::unique_ptr<Backend> {
    if (error) *error = std::move(reason);
    return nullptr;
  };
  if (QCoreApplication::instance()) return fail("a Qt application already exists in this process");
  const bool x11 = !env("DISPLAY").empty(), wayland = !env("WAYLAND_DISPLAY").empty();
  std::string platforms = env("QT_QPA_PLATFORM");
  const bool chosen = !platforms.empty();
  if (!chosen) {
    if (!x11 && !wayland)
      return fail(
          "no display: DISPLAY and WAYLAND_DISPLAY are unset (set QT_QPA_PLATFORM=offscreen to run "
          "without one, or TAMSIL_PLATFORM=headless)");
    // Qt tries the platforms in turn; a display that cannot be opened ends in offscreen rather
    // than in Qt's fatal error.
    platforms = std::string(wayland ? "wayland;" : "") + (x11 ? "xcb;" : "") + "offscreen";
  } else if (platforms.find(';') == std::string::npos) {
    if ((platforms == "xcb" && !x11) || (platforms == "wayland" && !wayland))
      return fail("QT_QPA_PLATFORM=" + platforms + " but " + (platforms == "xcb" ? "DISPLAY" : "WAYLAND_DISPLAY") + " is not set");
    if (platforms == "xcb" || platforms == "wayland") platforms += ";offscreen";
  }
  qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platforms));
  const DWORD guiThread = GetCurrentThreadId();
  auto app = std::make_unique<QApplication>(argc, argv);
  if (QGuiApplication::platformName() == QLatin1String("offscreen") && !platforms.starts_with("offscreen"))
    std::fprintf(stderr, "qt: the display could not be opened; running offscreen (nothing is shown on screen)\n");
  return std::make_unique<QtBackend>(std::move(app), guiThread);
}

}  // namespace platform::qt
