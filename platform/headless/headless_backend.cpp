#include "platform/headless/headless_backend.h"

#include <mutex>

namespace platform::headless {

namespace {

class HeadlessBackend final : public Backend {
 public:
  std::string_view name() const override { return "headless"; }
  bool interactive() const override { return false; }

  FontMetrics fontMetrics(std::string_view face, int points) override { return headlessFontMetrics(face, points); }
  RECT workArea() override { return {0, 0, 1280, 800}; }

  std::optional<std::string> fileDialog(const FileDialogRequest&) override { return std::nullopt; }
  bool printSetup(HWND) override { return true; }
  void showHelp(const HelpRequest&) override {}

  std::optional<std::string> clipboardText() override {
    std::lock_guard lock(mutex_);
    return clipboard_;
  }
  void setClipboardText(const std::string& text) override {
    std::lock_guard lock(mutex_);
    clipboard_ = text;
  }

  bool snapshot(HWND, const std::string&, std::string* error) override {
    if (error) *error = "pictures need the qt backend (TAMSIL_PLATFORM=qt, QT_QPA_PLATFORM=offscreen without a display)";
    return false;
  }

 private:
  std::mutex mutex_;
  std::optional<std::string> clipboard_;
};

}  // namespace

std::unique_ptr<Backend> createBackend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace platform::headless
