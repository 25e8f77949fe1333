// Menu items with a standard action are carried out by the runtime itself: help, clipboard
// commands to the focused control, closing the window and the printer set-up.
#include <string>

#include <unistd.h>

#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "runtime/window/operations.h"
#include "runtime/window/window_internal.h"

namespace tamsil::window {

using namespace platform;

namespace {

std::string& helpFile() {
  static std::string f;
  return f;
}

std::string programHelpFile() {
  if (!helpFile().empty()) return helpFile();
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string name = n > 0 ? std::string(path, size_t(n)) : std::string("program");
  const auto slash = name.rfind('/');
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.resize(dot);
  return name + ".hlp";
}

bool help(Window& w, UINT command, const std::string& keyword) {
  const std::string file = programHelpFile();
  const bool ok = WinHelpA(w.handle, file.c_str(), command, reinterpret_cast<std::uintptr_t>(keyword.c_str()));
  if (ok) w.showingHelp = true;
  return true;
}

// A clipboard command goes to the focused control when it is one of the window's editable ones.
bool toFocused(Window& w, UINT msg) {
  const HWND focus = GetFocus();
  if (focus && (focus == w.handle || IsChild(w.handle, focus)) && (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
    SendMessageA(focus, msg, 0, 0);
  return true;
}

}  // namespace

void SetHelpFile(std::string file) { helpFile() = std::move(file); }

namespace detail {

bool performStandardAction(Window& w, Control& item) {
  switch (item.action) {
    case 2:
    case 3:
    case 4:
    case 17:
    case 18: return true;  // arranging MDI children: no MDI client exists; docs/architecture.md says what stands instead
    case 5: return help(w, HELP_CONTENTS, "");
    case 6: return help(w, HELP_HELPONHELP, "");
    case 7: return help(w, HELP_PARTIALKEY, "");
    case 8: {
      const Control* focused = w.controlOf(GetFocus());
      return help(w, HELP_KEY, focused && !focused->help.empty() ? focused->help : w.help);
    }
    case 10: return toFocused(w, WM_CUT);
    case 11: return toFocused(w, WM_COPY);
    case 12: return toFocused(w, WM_PASTE);
    case 13: return toFocused(w, WM_CLEAR);
    case 14: return toFocused(w, WM_UNDO);
    case 15: SendMessageA(w.handle, WM_CLOSE, 0, 0); return true;
    case 16: PrintSetupDialog(w.handle); return true;
    default: return false;
  }
}

}  // namespace detail

}  // namespace tamsil::window
