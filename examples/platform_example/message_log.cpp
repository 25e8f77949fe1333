#include "examples/platform_example/message_log.h"

#include "platform/messages.h"
#include "platform/window/window.h"

namespace example {

using namespace platform;

MessageLog::MessageLog(const std::string& path) {
  if (!path.empty()) file_ = std::fopen(path.c_str(), "w");
}

MessageLog::~MessageLog() {
  if (file_) std::fclose(file_);
}

void MessageLog::write(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!file_) return;
  const std::string_view name = messageName(msg);
  std::string text = name.empty() ? std::to_string(msg) : std::string(name);
  char params[160];
  switch (msg) {
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: {
      const auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
      std::snprintf(params, sizeof params, "pos %d,%d size %dx%d flags %#x", wp->x, wp->y, wp->cx, wp->cy, wp->flags);
      break;
    }
    case WM_SIZING:
    case WM_MOVING: {
      const auto* r = reinterpret_cast<const RECT*>(lParam);
      std::snprintf(params, sizeof params, "%zu rect %d,%d,%d,%d", size_t(wParam), r->left, r->top, r->right, r->bottom);
      break;
    }
    case WM_GETDLGCODE:  // lParam points at the message being asked about
      std::snprintf(params, sizeof params, "%#zx %s", size_t(wParam), lParam ? "msg" : "0");
      break;
    case WM_NCCREATE:
    case WM_CREATE:
    case WM_GETMINMAXINFO:
    case WM_GETTEXT:
    case WM_SETTEXT: std::snprintf(params, sizeof params, "%zu", size_t(wParam)); break;
    case WM_COMMAND:
      std::snprintf(params, sizeof params, "id %u code %u from %s", LOWORD(wParam), HIWORD(wParam),
                    lParam ? GetClassNameA(reinterpret_cast<HWND>(lParam)).c_str() : "menu");
      break;
    default: std::snprintf(params, sizeof params, "%#zx %#zx", size_t(wParam), size_t(lParam));
  }
  std::fprintf(file_, "%s %s %s\n", GetClassNameA(hwnd).c_str(), text.c_str(), params);
  std::fflush(file_);
}

}  // namespace example
