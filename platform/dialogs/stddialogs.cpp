// The standard dialogs (open file, printer set-up, help) and dialog units. A script's queued
// answer comes first; with nobody to answer, the dialog's default is taken; otherwise the
// backend asks the person.
#include <cstdio>

#include "platform/backend.h"
#include "platform/dialogs/detail/dialog_log.h"
#include "platform/dialogs/dialogs.h"
#include "platform/input/script.h"
#include "platform/messages.h"
#include "platform/window/window.h"

namespace platform {

std::optional<std::string> FileDialog(const FileDialogRequest& request) {
  const std::string what =
      std::string(request.save ? "save file " : "open file ") + detail::quoted(request.title) + " filter " + detail::quoted(request.filter);
  if (auto answer = script::takeAnswer(request.save ? "save" : "file")) {
    const bool cancel = *answer == "cancel";
    detail::logDialog(what + " -> " + (cancel ? std::string("cancel") : detail::quoted(*answer)));
    if (cancel) return std::nullopt;
    return *answer;
  }
  if (detail::unattended()) {
    detail::logDialog(what + " -> cancel (default)");
    return std::nullopt;
  }
  return backend().fileDialog(request);
}

BOOL PrintSetupDialog(HWND owner) {
  if (auto answer = script::takeAnswer("print")) {
    const bool ok = *answer != "cancel";
    detail::logDialog(std::string("printer set-up -> ") + (ok ? "ok" : "cancel"));
    return ok;
  }
  if (detail::unattended()) {
    detail::logDialog("printer set-up -> ok (default)");
    return TRUE;
  }
  return backend().printSetup(owner);
}

BOOL WinHelpA(HWND owner, const char* helpFile, UINT command, std::uintptr_t data) {
  HelpRequest r;
  r.owner = owner;
  r.file = helpFile ? helpFile : "";
  r.command = command;
  if ((command == HELP_KEY || command == HELP_PARTIALKEY) && data) r.keyword = reinterpret_cast<const char*>(data);
  const char* kind = command == HELP_KEY || command == HELP_PARTIALKEY ? "search"
                     : command == HELP_HELPONHELP                      ? "help on help"
                     : command == HELP_QUIT                            ? "quit"
                     : command == HELP_CONTEXT                         ? "context"
                                                                       : "contents";
  if (detail::unattended())
    detail::logDialog("help " + detail::quoted(r.file) + " " + kind + (r.keyword.empty() ? "" : " " + detail::quoted(r.keyword)));
  backend().showHelp(r);
  return TRUE;
}

DialogBaseUnits GetDialogBaseUnitsFor(HFONT font) {
  if (!font) return {8, 16};  // the "System" font
  const FontMetrics m = backend().fontMetrics(FontFace(font), FontPoints(font));
  return {m.averageWidth, m.height};
}

void MapDialogRectFor(HFONT font, RECT* rect) {
  if (!rect) return;
  const DialogBaseUnits u = GetDialogBaseUnitsFor(font);
  // MulDiv rounds half away from zero; these are the conversions of the dialog manager.
  auto mul = [](LONG v, int num, int den) {
    const long long p = (long long)v * num;
    return LONG(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
  };
  rect->left = mul(rect->left, u.x, 4);
  rect->right = mul(rect->right, u.x, 4);
  rect->top = mul(rect->top, u.y, 8);
  rect->bottom = mul(rect->bottom, u.y, 8);
}

}  // namespace platform
