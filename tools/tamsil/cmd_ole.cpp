// tamsil ole PROGID [FILE]: opens a window with one OLE control, writes Create with PROGID, then
// runs one command per line of FILE (or stdin) through the control-property entries and prints
// one result line each:
//   get PATH                 the text PropertyCall pushes
//   put PATH = VALUE         "ok"
//   call PATH                "ok" (MethodCall)
//   event-name               the control's LastEventName
//   save FILE\!STORAGE       "ok" (SaveAs)
//   open FILE\!STORAGE       "ok" (Open)
// A command that sets a runtime error prints "error CODE: TEXT" instead; one that fails without
// one prints "failed"; a line that is no command prints "bad line: LINE". Empty lines and lines
// starting with "#" are skipped. "Tamsil.Sample.1" is a built-in sample class to try it on; the
// grid component ("OVSpreadADO.ovSpread.6") is registered too.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "components/spread/registration.h"
#include "runtime/core/error_state.h"
#include "runtime/ole/ole_site.h"
#include "runtime/window/control_access.h"
#include "runtime/window/operations.h"
#include "tools/tamsil/command.h"
#include "tools/tamsil/ole_sample.h"
#include "tools/tamsil/run_program.h"

namespace tamsil::tool {

namespace {

constexpr int kOleField = 20;  // the demo window's OLE control

std::string gProgId, gFile;

std::string trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = s.find_last_not_of(" \r");
  return std::string(s.substr(first, last - first + 1));
}

// "error CODE: TEXT" when a runtime error was set, else the given text.
std::string outcome(std::string_view text) {
  const ErrorState& e = currentErrorState();
  if (e.code == 0) return std::string(text);
  return "error " + std::to_string(e.code) + ": " + trimmed(e.text);
}

std::string statusLine(window::PropertyStatus s) { return outcome(s == window::PropertyStatus::Ok ? "ok" : "failed"); }

// Where "PATH = VALUE" splits: the first "=" outside parentheses and double quotes (a named
// argument's "=" is inside the path's parentheses); npos for none.
size_t assignment(std::string_view text) {
  int depth = 0;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == '=' && depth == 0) return i;
  }
  return std::string_view::npos;
}

// One command line; its result line.
std::string runLine(window::Window& w, const std::string& line) {
  using window::Selector;
  const size_t blank = line.find(' ');
  const std::string verb = line.substr(0, blank);
  const std::string rest = blank == std::string::npos ? std::string() : trimmed(line.substr(blank + 1));
  clearError();
  if (verb == "event-name" && rest.empty())
    return window::PropertyCall(w, kOleField, 0, Selector{std::uint32_t(window::prop::LastEventName)}).text;
  if (rest.empty()) return "bad line: " + line;
  if (verb == "get") return outcome(window::PropertyCall(w, kOleField, 0, Selector{rest}).text);
  if (verb == "call") return statusLine(window::MethodCall(w, kOleField, 0, Selector{rest}));
  if (verb == "save" || verb == "open") {
    const std::uint16_t number = verb == "save" ? window::prop::SaveAs : window::prop::Open;
    return statusLine(window::PropertyPut(w, kOleField, 0, Selector{std::uint32_t(number)}, rest));
  }
  if (verb == "put") {
    const size_t eq = assignment(rest);
    if (eq == std::string::npos || trimmed(rest.substr(0, eq)).empty()) return "bad line: " + line;
    return statusLine(window::PropertyPut(w, kOleField, 0, Selector{trimmed(rest.substr(0, eq))}, trimmed(rest.substr(eq + 1))));
  }
  return "bad line: " + line;
}

void oleMain() {
  registerSampleClass();
  spread::RegisterSpreadComponent();
  ole::InstallOleContainer();
  window::Window w("Kestrel24$Kestr001", "P1$WINDOW");
  window::OpenWindowOp(w);
  clearError();
  const auto created = window::PropertyPut(w, kOleField, 0, window::Selector{std::uint32_t(window::prop::Create)}, gProgId);
  std::printf("create %s\n", statusLine(created).c_str());
  std::ifstream file;
  if (!gFile.empty()) file.open(gFile);
  std::istream& in = gFile.empty() ? std::cin : file;
  if (!gFile.empty() && !file) std::printf("error 2: cannot read %s\n", gFile.c_str());
  std::string line;
  while (std::getline(in, line)) {
    const std::string text = trimmed(line);
    if (text.empty() || text.front() == '#') continue;
    std::printf("%s\n", runLine(w, text).c_str());
    std::fflush(stdout);
  }
  window::CloseWindowOp(w);
}

}  // namespace

int oleCommand(Args args) {
  if (args.empty() || args.size() > 2) {
    std::fputs("usage: tamsil ole PROGID [FILE]\n", stderr);
    return 2;
  }
  gProgId = args[0];
  gFile = args.size() == 2 ? std::string(args[1]) : std::string();
  return runAsProgram(oleMain);
}

}  // namespace tamsil::tool
