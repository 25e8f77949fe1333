#include "runtime/window/runtime_classes.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/messages.h"
#include "platform/system/resource.h"
#include "platform/window/window.h"
#include "runtime/window/assertion.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/program_stop.h"
#include "runtime/window/window_procs.h"

namespace tamsil::window {

using namespace platform;

namespace {

// A timer window hands its timers to the object kept in its window data.
LRESULT timerWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    if (auto* target = reinterpret_cast<TimerTarget*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) target->onTimer(UINT_PTR(wParam));
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Every class; a control class's index selects the procedure that chains to its platform class.
// Controls the runtime would draw itself (strings, entries, lists, images, sheets) are built on
// the platform's nearest control so that every backend shows them: a sheet is the platform's tab
// control, whose tabs are the texts of the sheet's TAB records.
constexpr std::array<RuntimeClass, 20> kClasses{{
    {"TslButton", "button", BS_PUSHBUTTON},
    {"TslCheck", "button", BS_AUTOCHECKBOX},
    {"TslRadio", "button", BS_AUTORADIOBUTTON},
    {"TslGroup", "button", BS_GROUPBOX},
    {"TslOption", "button", BS_GROUPBOX},
    {"TslPrompt", "static", SS_LEFT},
    {"TslString", "static", SS_LEFT},
    {"TslGraphic", "static", SS_BITMAP},
    {"TslEdit", "edit", ES_AUTOHSCROLL | WS_BORDER},
    {"TslText", "edit", ES_MULTILINE | ES_WANTRETURN | WS_BORDER | WS_VSCROLL},
    {"TslRTF", "RichEdit20A", ES_MULTILINE | ES_WANTRETURN | WS_BORDER | WS_VSCROLL},
    {"TslList", "listbox", LBS_NOTIFY | WS_BORDER | WS_VSCROLL},
    {"TslDrop", "combobox", CBS_DROPDOWNLIST | WS_VSCROLL},
    {"TslOle", "", 0},
    {"TslSheet", "SysTabControl32", 0},
    {"TslTab", "", 0},
    {"TslToolTip", "", 0},
    {"TslTimerWinClass", "", 0, timerWindowProc},
    {"TslDDEWinClass", "", 0, DefWindowProcA},
    {"TslWin", "", 0, windowProc},
}};
constexpr size_t kWindowClass = kClasses.size() - 1;

// Registration state per class: 0 not registered, -1 being registered, 2 registered. A thread
// that finds -1 waits for the registering thread rather than registering twice.
constexpr int kUnregistered = 0, kRegistering = -1, kRegistered = 2;
std::array<std::atomic<int>, kClasses.size()> gState{};
std::array<WNDPROC, kClasses.size()> gBaseProcs{};

template <size_t I>
LRESULT classProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return controlProc(hwnd, msg, wParam, lParam, gBaseProcs[I]);
}

template <size_t... I>
constexpr std::array<WNDPROC, sizeof...(I)> makeProcs(std::index_sequence<I...>) {
  return {classProc<I>...};
}
constexpr auto kProcs = makeProcs(std::make_index_sequence<kClasses.size()>());

const RuntimeClass* named(std::string_view name) {
  for (const RuntimeClass& c : kClasses)
    if (c.name == name) return &c;
  return nullptr;
}

std::string registeredName(const RuntimeClass& cls) { return std::string(cls.name) + runtimeClassSuffix(); }

// Fills the class description and registers it; false when the platform class is missing.
bool registerClass(size_t index) {
  const RuntimeClass& cls = kClasses[index];
  WNDCLASSA wc;
  if (cls.ownProc) {
    wc.lpfnWndProc = cls.ownProc;
  } else if (cls.base.empty()) {
    wc.lpfnWndProc = kProcs[index];
    gBaseProcs[index] = DefWindowProcA;
  } else {
    if (!GetClassInfoA(std::string(cls.base).c_str(), &wc)) return false;
    gBaseProcs[index] = wc.lpfnWndProc;
    wc.lpfnWndProc = kProcs[index];
  }
  const std::string name = registeredName(cls);
  wc.lpszClassName = name.c_str();
  // A class left registered by an earlier start in the same process is still ours to use.
  WNDCLASSA existing;
  return RegisterClassA(wc) != 0 || GetClassInfoA(name.c_str(), &existing);
}

std::string ensure(size_t index) {
  std::atomic<int>& state = gState[index];
  for (;;) {
    int seen = state.load();
    if (seen == kRegistered) break;
    if (seen == kRegistering || !state.compare_exchange_strong(seen, kRegistering)) {
      std::this_thread::yield();
      continue;
    }
    if (!registerClass(index)) {
      state = kUnregistered;
      RuntimeErrorReport(RuntimeError::InternalNotFound, "WSLCLASS");
    }
    state = kRegistered;
    break;
  }
  TSL_ASSERT(state.load() == kRegistered);
  return registeredName(kClasses[index]);
}

}  // namespace

std::string runtimeClassSuffix() {
  static const std::string suffix = [] {
    char buf[32];
    std::snprintf(buf, sizeof buf, "_%zx", reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));
    return std::string(buf);
  }();
  return suffix;
}

const RuntimeClass* runtimeClassNamed(std::string_view name) { return named(name); }

const RuntimeClass* runtimeClassForKind(std::uint8_t kind, bool variant) {
  switch (Kind(kind)) {
    case Kind::Button: return named("TslButton");
    case Kind::Check: return named("TslCheck");
    case Kind::Radio: return named("TslRadio");
    case Kind::Group: return named("TslGroup");
    case Kind::Option: return named("TslOption");
    case Kind::Prompt: return named("TslPrompt");
    case Kind::String:
    case Kind::StringVar: return named("TslString");
    case Kind::Image: return named("TslGraphic");
    case Kind::Entry:
    case Kind::Spin: return named("TslEdit");
    case Kind::Text: return named(variant ? "TslRTF" : "TslText");
    case Kind::List: return named(variant ? "TslDrop" : "TslList");
    case Kind::Combo:
    case Kind::DropList: return named("TslDrop");
    case Kind::Ole: return named("TslOle");
    case Kind::Sheet: return named("TslSheet");
    case Kind::Tab: return named("TslTab");
    default: return nullptr;
  }
}

std::string ensureRuntimeClass(const RuntimeClass& cls) { return ensure(size_t(&cls - kClasses.data())); }

std::string ensureWindowClass() {
  // The two messages the runtime registers by name when its windows come into use.
  static const bool registered = RegisterWindowMessageA("TW_QUERY_PSCREEN") && RegisterWindowMessageA("TW_QUERY_PFIELD");
  (void)registered;
  return ensure(kWindowClass);
}

std::string runtimeClassOf(HWND hwnd) {
  if (!hwnd) return {};
  const std::string name = GetClassNameA(hwnd);
  const std::string suffix = runtimeClassSuffix();
  if (!name.ends_with(suffix)) return {};
  const std::string base = name.substr(0, name.size() - suffix.size());
  return named(base) ? base : std::string();
}

}  // namespace tamsil::window
