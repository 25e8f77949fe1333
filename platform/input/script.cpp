#include "platform/input/script.h"

#include <cctype>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/ascii.h"
#include "platform/backend.h"
#include "platform/controls/menu.h"
#include "platform/dialogs/detail/dialog_log.h"
#include "platform/input/input.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/detail/handle_table.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform::script {

namespace {

using Clock = std::chrono::steady_clock;

// How long a used-up run may sit idle with no window left before it is ended.
constexpr auto kIdleLimit = std::chrono::seconds(10);
// How often the same window is asked to close before the run gives up on it.
constexpr int kCloseAttempts = 3;
// The longest "wait": a run never hangs, so a wait is a pause, not a way to stop.
constexpr int kLongestWaitMs = 60'000;

struct KeyName {
  const char* name;
  UINT vk;
};
constexpr KeyName kKeys[] = {
    {"tab", VK_TAB},        {"enter", VK_RETURN},  {"return", VK_RETURN}, {"escape", VK_ESCAPE}, {"esc", VK_ESCAPE},    {"space", VK_SPACE},
    {"backspace", VK_BACK}, {"delete", VK_DELETE}, {"insert", VK_INSERT}, {"up", VK_UP},         {"down", VK_DOWN},     {"left", VK_LEFT},
    {"right", VK_RIGHT},    {"home", VK_HOME},     {"end", VK_END},       {"pageup", VK_PRIOR},  {"pagedown", VK_NEXT},
};

// Parses "Ctrl+Shift+F4" into a key and its modifiers; false for an unknown name.
bool parseKey(std::string_view text, UINT* vk, input::Modifiers* mods) {
  *mods = {};
  for (;;) {
    const size_t plus = text.find('+');
    if (plus == std::string_view::npos || plus + 1 == text.size()) break;
    const auto mod = text.substr(0, plus);
    if (ascii::equalsNoCase(mod, "ctrl")) mods->ctrl = true;
    else if (ascii::equalsNoCase(mod, "alt")) mods->alt = true;
    else if (ascii::equalsNoCase(mod, "shift")) mods->shift = true;
    else return false;
    text.remove_prefix(plus + 1);
  }
  for (const KeyName& k : kKeys)
    if (ascii::equalsNoCase(text, k.name)) return *vk = k.vk, true;
  if (text.size() >= 2 && text.size() <= 3 && (text[0] == 'F' || text[0] == 'f')) {
    int n = 0;
    for (char c : text.substr(1)) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
      n = n * 10 + (c - '0');
    }
    if (n >= 1 && n <= 12) return *vk = VK_F1 + UINT(n - 1), true;
    return false;
  }
  if (text.size() == 1 && std::isalnum(static_cast<unsigned char>(text[0]))) {
    *vk = UINT(std::toupper(static_cast<unsigned char>(text[0])));
    return true;
  }
  return false;
}

bool parseInt(const std::string& s, int* out) {
  if (s.empty()) return false;
  size_t used = 0;
  try {
    *out = std::stoi(s, &used);
  } catch (...) {
    return false;
  }
  return used == s.size();
}

std::string trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return std::string(s);
}

// A message line as it is written: control characters (a NUL too) escaped, so nothing in a
// script line can cut the message short or break it in two.
std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u == '\\') out += "\\\\";
    else if (u == '\t') out += "\\t";
    else if (u == '\r') out += "\\r";
    else if (u == '\n') out += "\\n";
    else if (u == 0) out += "\\0";
    else if (u < 0x20 || u == 0x7F) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else out += c;
  }
  return out;
}

struct State {
  std::mutex mutex;
  std::string fileName;
  std::vector<Line> lines;
  size_t next = 0;
  bool started = false;
  bool stopped = false;  // an error ended the script early
  bool closeWhenIdle = false;
  DWORD thread = 0;
  std::optional<Clock::time_point> resumeAt;
  std::map<std::string, std::deque<std::string>> answers;
  int errors = 0;
  std::map<HWND, int> closeAttempts;
  std::optional<Clock::time_point> idleSince;
};

State& state() {
  static State s;
  return s;
}

void report(const Line& line, const std::string& message) {
  State& s = state();
  std::fprintf(stderr, "%s:%d: %s\n", escaped(s.fileName).c_str(), line.number, escaped(message).c_str());
  std::fflush(stderr);
  ++s.errors;
}

// The window the user is looking at: the active one, else the newest visible top-level window.
HWND targetWindow() {
  if (HWND a = GetActiveWindow()) return a;
  auto tops = detail::topLevelWindows();
  for (auto it = tops.rbegin(); it != tops.rend(); ++it)
    if (GetWindowThreadProcessId(*it) == GetCurrentThreadId() && IsWindowVisible(*it)) return *it;
  return nullptr;
}

HWND findControl(HWND parent, const std::string& what) {
  const bool byId = what.size() > 1 && what[0] == '#';
  int id = 0;
  if (byId && !parseInt(what.substr(1), &id)) return nullptr;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (byId ? GetDlgCtrlID(c) == id : ascii::equalsNoCase(visibleText(GetWindowTextString(c)), visibleText(what))) return c;
    if (HWND inner = findControl(c, what)) return inner;
  }
  return nullptr;
}

// Finds a menu path in a window's menu bar; positions go to path. Returns an error text.
std::string findMenuPath(HWND window, const std::vector<std::string>& items, std::vector<int>* path) {
  HMENU menu = GetMenu(window);
  if (!menu) return "the window has no menu";
  for (size_t level = 0; level < items.size(); ++level) {
    if (!menu) return "'" + items[level - 1] + "' has no sub-menu";
    int found = -1;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
      if (ascii::equalsNoCase(visibleText(GetMenuStringA(menu, UINT(i), MF_BYPOSITION)), visibleText(items[level]))) {
        found = i;
        break;
      }
    if (found < 0) return "no menu item '" + items[level] + "'";
    if (GetMenuState(menu, UINT(found), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) return "menu item '" + items[level] + "' is grayed";
    path->push_back(found);
    menu = GetSubMenu(menu, found);
  }
  if (menu) return "'" + items.back() + "' opens a sub-menu; name one of its items";
  return {};
}

// The verbs' handlers: each runs one line on the window the user is looking at (null for verbs
// that need none) and returns an error text, empty on success.
using Handler = std::string (*)(const Line& line, HWND window);

const std::string& firstArg(const Line& line) {
  static const std::string none;
  return line.args.empty() ? none : line.args[0];
}

std::string idleVerb(const Line&, HWND) { return {}; }

std::string waitVerb(const Line& line, HWND) {
  int ms = 0;
  parseInt(firstArg(line), &ms);
  state().resumeAt = Clock::now() + std::chrono::milliseconds(ms);
  return {};
}

std::string answerVerb(const Line& line, HWND) {
  state().answers[line.args[0]].push_back(line.args[1]);
  return {};
}

std::string menuVerb(const Line& line, HWND window) {
  std::vector<int> path;
  if (auto error = findMenuPath(window, line.args, &path); !error.empty()) return error;
  input::chooseMenu(window, path);
  return {};
}

// The control named by the line (its text, or #ID) when a user could reach it.
std::string usableControl(const Line& line, HWND window, HWND* control) {
  const std::string& what = firstArg(line);
  *control = findControl(window, what);
  if (!*control) return "no control '" + what + "' on window '" + GetWindowTextString(window) + "'";
  if (!IsWindowVisible(*control)) return "control '" + what + "' is hidden";
  if (!IsWindowEnabled(*control)) return "control '" + what + "' is disabled";
  return {};
}

std::string pressVerb(const Line& line, HWND window) {
  HWND control;
  if (auto error = usableControl(line, window, &control); !error.empty()) return error;
  input::click(control);
  return {};
}

std::string focusVerb(const Line& line, HWND window) {
  HWND control;
  if (auto error = usableControl(line, window, &control); !error.empty()) return error;
  SetFocus(control);
  return {};
}

std::string selectVerb(const Line& line, HWND) {
  const std::string& item = firstArg(line);
  const HWND list = GetFocus();
  const auto w = detail::findWindow(list);
  const auto kind = w ? w->kind : detail::ControlKind::None;
  const bool isList = kind == detail::ControlKind::ListBox, isCombo = kind == detail::ControlKind::ComboBox;
  if (!isList && !isCombo) return "the focused control is not a list";
  const LRESULT index =
      SendMessageA(list, isList ? LB_FINDSTRINGEXACT : CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(item.c_str()));
  if (index < 0) return "the list has no item '" + item + "'";
  input::selectItem(list, int(index));
  return {};
}

std::string keyVerb(const Line& line, HWND) {
  UINT vk;
  input::Modifiers mods;
  parseKey(firstArg(line), &vk, &mods);
  input::key(vk, mods);
  return {};
}

std::string typeVerb(const Line& line, HWND) {
  input::type(firstArg(line));
  return {};
}

// "move X Y" and "resize WIDTH HEIGHT": the two numbers to the given input function.
template <void (*kApply)(HWND, int, int)>
std::string pairVerb(const Line& line, HWND window) {
  int a = 0, b = 0;
  parseInt(line.args[0], &a);
  parseInt(line.args[1], &b);
  kApply(window, a, b);
  return {};
}

template <WPARAM kCommand>
std::string commandVerb(const Line&, HWND window) {
  input::systemCommand(window, kCommand);
  return {};
}

// A picture that cannot be taken is reported but does not stop the script.
std::string snapshotVerb(const Line& line, HWND window) {
  std::string error;
  if (!backend().snapshot(window, firstArg(line), &error))
    std::fprintf(stderr, "%s:%d: snapshot: %s\n", state().fileName.c_str(), line.number, error.c_str());
  return {};
}

struct Verb {
  const char* name;
  int minArgs, maxArgs;  // -1: the rest of the line is one argument
  const char* usage;
  bool needsWindow;  // acts on the window the user is looking at
  Handler run;
};

constexpr Verb kVerbs[] = {
    {"menu", 1, 8, "menu ITEM > ITEM ...", true, menuVerb},
    {"press", -1, -1, "press TEXT (or #ID)", true, pressVerb},
    {"focus", -1, -1, "focus TEXT (or #ID)", true, focusVerb},
    {"key", 1, 1, "key [Ctrl+][Alt+][Shift+]NAME", true, keyVerb},
    {"type", -1, -1, "type TEXT", true, typeVerb},
    {"select", -1, -1, "select ITEM", true, selectVerb},
    {"move", 2, 2, "move X Y", true, pairVerb<input::moveWindow>},
    {"resize", 2, 2, "resize WIDTH HEIGHT", true, pairVerb<input::sizeWindow>},
    {"maximize", 0, 0, "maximize", true, commandVerb<SC_MAXIMIZE>},
    {"minimize", 0, 0, "minimize", true, commandVerb<SC_MINIMIZE>},
    {"restore", 0, 0, "restore", true, commandVerb<SC_RESTORE>},
    {"close", 0, 0, "close", true, commandVerb<SC_CLOSE>},
    {"answer", 2, 2, "answer file PATH|cancel, answer save PATH|cancel, answer message BUTTON, answer print ok|cancel", false, answerVerb},
    {"idle", 0, 0, "idle", false, idleVerb},
    {"wait", 1, 1, "wait MILLISECONDS", false, waitVerb},
    {"snapshot", 1, 1, "snapshot FILE.png", true, snapshotVerb},
};

const Verb* findVerb(std::string_view name) {
  for (const Verb& v : kVerbs)
    if (name == v.name) return &v;
  return nullptr;
}

// Runs one parsed line; returns an error text, empty on success.
std::string run(const Line& line) {
  const Verb* verb = findVerb(line.verb);
  if (!verb) return "unknown command '" + line.verb + "'";
  HWND window = nullptr;
  if (verb->needsWindow) {
    window = targetWindow();
    if (!window) return "no window is open for '" + line.verb + "'";
  }
  return verb->run(line, window);
}

// The run is used up: close what is open as a user would, a dialog by its default button.
bool closeLikeAUser() {
  State& s = state();
  const HWND window = targetWindow();
  if (!window) {
    if (!s.idleSince) s.idleSince = Clock::now();
    if (Clock::now() - *s.idleSince < kIdleLimit) return false;
    std::fputs("script: nothing left to do and no window open; ending the run\n", stderr);
    PostQuitMessage(0);
    s.idleSince.reset();
    return true;
  }
  s.idleSince.reset();
  if (++s.closeAttempts[window] > kCloseAttempts) {
    std::fprintf(stderr, "script: window '%s' does not close; ending the run\n", GetWindowTextString(window).c_str());
    PostQuitMessage(1);
    s.closeAttempts.clear();
    return true;
  }
  if (ascii::equalsNoCase(GetClassNameA(window), "#32770")) {
    const LRESULT def = SendMessageA(window, DM_GETDEFID, 0, 0);
    if (HWND b = GetDlgItem(window, LOWORD(WPARAM(def)))) {
      detail::logDialog("no answer for " + detail::quoted(GetWindowTextString(window)) + "; pressing its default " +
                        detail::quoted(visibleText(GetWindowTextString(b))));
      input::click(b);
      return true;
    }
  }
  input::systemCommand(window, SC_CLOSE);
  return true;
}

}  // namespace

std::string visibleText(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\t') break;
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  // The dots go first: "Print Setup ..." reads "Print Setup", without the blank before them.
  out = trim(out);
  if (out.size() > 3 && out.ends_with("...")) out = trim(std::string_view(out).substr(0, out.size() - 3));
  return out;
}

ParseResult parse(std::string_view text, std::string_view fileName) {
  ParseResult r;
  std::istringstream in{std::string(text)};
  std::string raw;
  int number = 0;
  auto error = [&](const std::string& message) {
    r.errors.push_back(escaped(fileName) + ":" + std::to_string(number) + ": " + escaped(message));
  };
  while (std::getline(in, raw)) {
    ++number;
    const std::string content = trim(raw);
    if (content.empty() || content[0] == '#') continue;
    const size_t space = content.find_first_of(" \t");
    Line line;
    line.number = number;
    line.verb = content.substr(0, space);
    for (char& c : line.verb) c = char(std::tolower(static_cast<unsigned char>(c)));
    const std::string rest = space == std::string::npos ? "" : trim(content.substr(space));
    const Verb* verb = findVerb(line.verb);
    if (!verb) {
      error("unknown command '" + line.verb + "'");
      continue;
    }
    if (verb->minArgs < 0) {
      if (rest.empty()) {
        error("'" + line.verb + "' needs an argument: " + verb->usage);
        continue;
      }
      line.args.push_back(rest);
    } else if (line.verb == "menu") {
      std::string item;
      std::istringstream parts(rest);
      while (std::getline(parts, item, '>'))
        if (!trim(item).empty()) line.args.push_back(trim(item));
    } else {
      std::istringstream words(rest);
      std::string w;
      while (words >> w) line.args.push_back(w);
      if (line.verb == "answer" && line.args.size() > 2) {  // a path may hold blanks
        const std::string kind = line.args[0];
        line.args = {kind, trim(rest.substr(rest.find(kind) + kind.size()))};
      }
    }
    const int n = int(line.args.size());
    if (n < verb->minArgs || (verb->minArgs >= 0 && n > verb->maxArgs)) {
      error("wrong arguments for '" + line.verb + "': " + verb->usage);
      continue;
    }
    int number1 = 0;
    if ((line.verb == "move" || line.verb == "resize") && (!parseInt(line.args[0], &number1) || !parseInt(line.args[1], &number1))) {
      error("'" + line.verb + "' needs two whole numbers");
      continue;
    }
    if (line.verb == "wait" && (!parseInt(line.args[0], &number1) || number1 < 0)) {
      error("'wait' needs a number of milliseconds");
      continue;
    }
    if (line.verb == "wait" && number1 > kLongestWaitMs) {
      error("'wait' takes at most " + std::to_string(kLongestWaitMs) + " milliseconds");
      continue;
    }
    UINT vk;
    input::Modifiers mods;
    if (line.verb == "key" && !parseKey(line.args[0], &vk, &mods)) {
      error("unknown key '" + line.args[0] + "'");
      continue;
    }
    if (line.verb == "answer") {
      const std::string& kind = line.args[0];
      const std::string& value = line.args[1];
      if (kind != "file" && kind != "save" && kind != "message" && kind != "print") {
        error("unknown dialog '" + kind + "' for 'answer' (file, save, message or print)");
        continue;
      }
      std::error_code ec;
      if (kind == "file" && value != "cancel" && !std::filesystem::is_regular_file(value, ec)) {
        error("answer file: no such file '" + value + "'");
        continue;
      }
      if (kind == "print" && value != "ok" && value != "cancel") {
        error("answer print takes ok or cancel");
        continue;
      }
    }
    r.lines.push_back(std::move(line));
  }
  return r;
}

ParseResult load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ParseResult r;
    r.errors.push_back(path + ": cannot read the script");
    return r;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return parse(text.str(), path);
}

void start(std::vector<Line> lines, std::string fileName) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  s.lines = std::move(lines);
  s.fileName = std::move(fileName);
  s.next = 0;
  s.started = true;
  s.stopped = false;
  s.thread = GetCurrentThreadId();
  s.answers.clear();
  s.errors = 0;
  s.closeAttempts.clear();
  s.resumeAt.reset();
}

bool active() { return state().started; }

void stop() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  s.started = false;
  s.closeWhenIdle = false;
  s.lines.clear();
  s.answers.clear();
  s.resumeAt.reset();
  s.idleSince.reset();
}

void closeWindowsWhenIdle() {
  State& s = state();
  s.closeWhenIdle = true;
  s.thread = GetCurrentThreadId();
}

bool exhausted() {
  State& s = state();
  return !s.started || s.stopped || s.next >= s.lines.size();
}

int errorCount() { return state().errors; }

std::optional<std::string> takeAnswer(std::string_view kind) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  auto it = s.answers.find(std::string(kind));
  if (it == s.answers.end() || it->second.empty()) return std::nullopt;
  std::string a = std::move(it->second.front());
  it->second.pop_front();
  return a;
}

std::optional<Clock::time_point> nextStepAt() {
  State& s = state();
  if (s.resumeAt) return s.resumeAt;
  if (s.idleSince) return *s.idleSince + kIdleLimit;
  return std::nullopt;
}

bool step() {
  State& s = state();
  if ((!s.started && !s.closeWhenIdle) || GetCurrentThreadId() != s.thread) return false;
  if (s.resumeAt) {
    if (Clock::now() < *s.resumeAt) return false;
    s.resumeAt.reset();
  }
  if (exhausted()) return closeLikeAUser();
  const Line& line = s.lines[s.next++];
  if (std::string error = run(line); !error.empty()) {
    report(line, error + "; the script stops here");
    s.stopped = true;
  }
  return true;
}

IdleHook idleHook() {
  IdleHook hook;
  hook.ready = input::hasPendingInput;
  hook.run = [] {
    if (!input::hasPendingInput()) return step();
    input::feedPendingInput();
    return true;
  };
  hook.nextAt = nextStepAt;
  return hook;
}

}  // namespace platform::script
