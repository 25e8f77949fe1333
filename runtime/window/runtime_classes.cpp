#include "runtime/window/runtime_classes.h"

#include <array>
#include <mutex>
#include <string>

#include "platform/messages.h"
#include "platform/window.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/window_procs.h"

namespace tamsil::window {

using namespace platform;

namespace {

// Every control class; its index selects the procedure that chains to its platform class.
constexpr std::array<RuntimeClass, 14> kClasses{{
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
    {"TslList", "listbox", LBS_NOTIFY | WS_BORDER | WS_VSCROLL},
    {"TslDrop", "combobox", CBS_DROPDOWNLIST | WS_VSCROLL},
    {"TslOle", "", 0},
    {"TslSheet", "", 0},
}};

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

std::mutex& registrationMutex() {
  static std::mutex m;
  return m;
}

}  // namespace

const RuntimeClass* runtimeClassForKind(std::uint8_t kind, bool dropList) {
  auto named = [](std::string_view name) {
    for (const RuntimeClass& c : kClasses)
      if (c.name == name) return &c;
    return static_cast<const RuntimeClass*>(nullptr);
  };
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
    case Kind::Entry: return named("TslEdit");
    case Kind::Text: return named("TslText");
    case Kind::List: return named(dropList ? "TslDrop" : "TslList");
    case Kind::Ole: return named("TslOle");
    case Kind::Sheet: return named("TslSheet");
    default: return nullptr;
  }
}

std::string_view ensureRuntimeClass(const RuntimeClass& cls) {
  const size_t index = size_t(&cls - kClasses.data());
  std::lock_guard lock(registrationMutex());
  WNDCLASSA existing;
  if (GetClassInfoA(std::string(cls.name).c_str(), &existing)) return cls.name;
  WNDCLASSA wc;
  if (cls.base.empty()) {
    wc.lpfnWndProc = kProcs[index];
    gBaseProcs[index] = DefWindowProcA;
  } else {
    if (!GetClassInfoA(std::string(cls.base).c_str(), &wc)) return {};
    gBaseProcs[index] = wc.lpfnWndProc;
    wc.lpfnWndProc = kProcs[index];
  }
  const std::string name(cls.name);
  wc.lpszClassName = name.c_str();
  RegisterClassA(wc);
  return cls.name;
}

std::string_view ensureWindowClass() {
  static const std::string_view name = [] {
    WNDCLASSA wc;
    wc.lpfnWndProc = windowProc;
    wc.lpszClassName = "TslWin";
    RegisterClassA(wc);
    return std::string_view("TslWin");
  }();
  return name;
}

}  // namespace tamsil::window
