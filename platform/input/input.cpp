#include "platform/input/input.h"

#include <deque>
#include <functional>
#include <map>

#include "platform/controls/detail/controls.h"
#include "platform/controls/menu.h"
#include "platform/desktop/drop.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform::input {

namespace {

using Step = std::function<void()>;

// Steps of user input still to be posted, on the thread that runs the user's actions.
std::deque<Step>& pending() {
  thread_local std::deque<Step> steps;
  return steps;
}

std::map<HWND, RECT>& moveSizeTargets() {
  thread_local std::map<HWND, RECT> targets;
  return targets;
}

LPARAM centre(HWND control) {
  RECT r;
  GetClientRect(control, &r);
  return MAKELPARAM(WORD(r.right / 2), WORD(r.bottom / 2));
}

LPARAM keyLParam(UINT vk, bool up, bool alt) {
  const UINT scan = vk == VK_PACKET ? 0 : (vk & 0x7F);
  LPARAM l = 1 | (LPARAM(scan) << 16);
  if (alt) l |= LPARAM(1) << 29;
  if (up) l |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
  return l;
}

HWND keyTarget() { return GetFocus() ? GetFocus() : GetActiveWindow(); }

void postKey(UINT vk, bool up, bool alt, LPARAM extra = 0) {
  const UINT msg = alt ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
  const LPARAM l = keyLParam(vk, up, alt) | extra;
  if (HWND t = keyTarget()) PostMessageA(t, msg, vk, l);
  else PostThreadMessageA(GetCurrentThreadId(), msg, vk, l);
}

void pressKey(UINT vk, Modifiers mods, LPARAM extra = 0) {
  pending().push_back([=] {
    if (mods.ctrl) postKey(VK_CONTROL, false, false);
    if (mods.alt) postKey(VK_MENU, false, true);
    if (mods.shift) postKey(VK_SHIFT, false, mods.alt);
    postKey(vk, false, mods.alt, extra);
  });
  pending().push_back([=] {
    postKey(vk, true, mods.alt, extra);
    if (mods.shift) postKey(VK_SHIFT, true, mods.alt);
    if (mods.alt) postKey(VK_MENU, true, false);
    if (mods.ctrl) postKey(VK_CONTROL, true, false);
  });
}

}  // namespace

bool hasPendingInput() { return !pending().empty(); }

void feedPendingInput() {
  if (pending().empty()) return;
  Step step = std::move(pending().front());
  pending().pop_front();
  moveSizeTargets().clear();  // a drag not taken up by its step is over
  step();
}

bool takeMoveSizeTarget(HWND window, RECT* target) {
  auto& targets = moveSizeTargets();
  auto it = targets.find(window);
  if (it == targets.end()) return false;
  *target = it->second;
  targets.erase(it);
  return true;
}

void click(HWND control) {
  pending().push_back([control] { PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, centre(control)); });
  pending().push_back([control] { PostMessageA(control, WM_LBUTTONUP, 0, centre(control)); });
}

void chooseMenu(HWND window, const std::vector<int>& path) {
  pending().push_back([window, path] {
    HMENU menu = GetMenu(window);
    if (!menu || path.empty()) return;
    SendMessageA(window, WM_ENTERMENULOOP, FALSE, 0);
    SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    UINT id = 0;
    bool enabled = true;
    for (size_t level = 0; level < path.size() && menu; ++level) {
      const int pos = path[level];
      const UINT state = GetMenuState(menu, UINT(pos), MF_BYPOSITION);
      if (state == 0xFFFFFFFF || (state & (MF_GRAYED | MF_DISABLED))) {
        enabled = false;
        break;
      }
      if (HMENU sub = GetSubMenu(menu, pos)) {
        SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(WORD(pos), WORD(MF_POPUP)), reinterpret_cast<LPARAM>(menu));
        SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), MAKELPARAM(WORD(pos), 0));
        menu = sub;
      } else {
        id = GetMenuItemID(menu, pos);
        SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(WORD(id), WORD(state & 0xFF)), reinterpret_cast<LPARAM>(menu));
        menu = nullptr;
      }
    }
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    SendMessageA(window, WM_EXITMENULOOP, FALSE, 0);
    if (enabled && id != 0 && id != 0xFFFFFFFF) PostMessageA(window, WM_COMMAND, MAKEWPARAM(WORD(id), 0), 0);
  });
}

void key(UINT vk, Modifiers mods) { pressKey(vk, mods); }

void type(std::string_view text) {
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') pressKey(c - 'a' + 'A', {});
    else if (c >= 'A' && c <= 'Z') pressKey(c, {.shift = true});
    else if ((c >= '0' && c <= '9') || c == ' ') pressKey(c, {});
    else  // any other character arrives as injected character input
      pressKey(VK_PACKET, {}, LPARAM(c) << 16);
  }
}

void selectItem(HWND list, int index) {
  auto w = detail::findWindow(list);
  if (!w) return;
  if (w->kind == detail::ControlKind::ComboBox) {
    click(list);  // focus and drop the list down
    pending().push_back([list, index] {
      detail::selectByUser(list, index);
      SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
    });
    return;
  }
  // The middle of the top item row, below the headings when the list has them.
  WORD y;
  {
    RecursiveLock lock(detail::modelMutex());
    y = WORD(detail::listItemsTop(w->control) + detail::kListItemHeight / 2);
  }
  pending().push_back([list, index, y] {
    SendMessageA(list, LB_SETTOPINDEX, WPARAM(index), 0);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, y));
  });
  pending().push_back([list, y] { PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(2, y)); });
}

void moveWindow(HWND window, int x, int y) {
  pending().push_back([=] {
    RECT r;
    GetWindowRect(window, &r);
    moveSizeTargets()[window] = {x, y, x + r.width(), y + r.height()};
    constexpr WPARAM kByCaption = 2;  // HTCAPTION in the low bits: a drag of the caption
    PostMessageA(window, WM_SYSCOMMAND, SC_MOVE | kByCaption, MAKELPARAM(WORD(x), WORD(y)));
  });
  pending().push_back([] {});  // the drag lasts until its command has been handled
}

void sizeWindow(HWND window, int width, int height) {
  pending().push_back([=] {
    RECT r;
    GetWindowRect(window, &r);
    moveSizeTargets()[window] = {r.left, r.top, r.left + width, r.top + height};
    constexpr WPARAM kByBottomRight = 8;  // the bottom-right corner is dragged
    PostMessageA(window, WM_SYSCOMMAND, SC_SIZE | kByBottomRight, 0);
  });
  pending().push_back([] {});
}

void systemCommand(HWND window, WPARAM command) {
  pending().push_back([=] { PostMessageA(window, WM_SYSCOMMAND, command, 0); });
}

void dropFiles(HWND window, POINT at, std::vector<std::string> files) {
  pending().push_back([window, at, files = std::move(files)] {
    const HWND top = GetAncestorTop(window);
    if (!top || !(GetWindowLongPtrA(top, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) return;
    POINT client = at;
    if (top != window) {
      ClientToScreen(window, &client);
      ScreenToClient(top, &client);
    }
    const HDROP drop = detail::makeDrop(client, files);
    if (!PostMessageA(top, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) DragFinish(drop);
  });
}

}  // namespace platform::input
