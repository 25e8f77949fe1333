#include <cstdio>

#include "platform/com/com.h"
#include "platform/com/wide_text.h"
#include "runtime/ole/ole_site.h"
#include "runtime/ole/site_failure.h"
#include "runtime/window/message_box.h"

namespace tamsil::ole {

using window::MessageIcon;

std::string platformFailureText(const Failure& f) {
  char code[16];
  std::snprintf(code, sizeof code, "%08X", unsigned(f.hr));
  std::string message = platform::SystemMessageText(platform::DWORD(f.hr));
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  std::string text = f.label + " (" + code + ")\r\n" + message;
  if (!f.detail.empty()) text += "\r\n\"" + f.detail + "\"";
  return text;
}

void OleSite::report(const Failure& f) {
  const bool reportErrors = flags_ & kReportErrors;
  if (!reportErrors) {
    if (f.kind == Failure::Kind::Exception && f.exception) raiseErrorEvent(*f.exception);
    if (!(flags_ & kReportOleErrors) || f.kind != Failure::Kind::Platform) return;
  }
  window::MessageBoxRequest box;
  box.icon = MessageIcon::Stop;
  switch (f.kind) {
    case Failure::Kind::UnknownName:
      box.caption = "GetId Failed";
      box.text = f.detail;
      break;
    case Failure::Kind::TypeMismatch: {
      char text[48];
      std::snprintf(text, sizeof text, "Parameter %u type mismatch", f.position);
      box.caption = "Ole Automation Error";
      box.text = text;
      break;
    }
    case Failure::Kind::Exception:
      box.caption = "Ole Automation Error";
      box.text = f.exception ? platform::wideToAnsi(platform::bstrView(f.exception->bstrDescription)) : std::string();
      break;
    case Failure::Kind::ReadFailed:
      box.caption = "OLE Error";
      box.text = platformFailureText(f);
      break;
    case Failure::Kind::Platform:
      if (!(flags_ & kReportOleErrors)) return;
      box.caption = "OLE Error";
      box.icon = MessageIcon::None;
      box.text = platformFailureText(f);
      break;
  }
  window::RuntimeMessageBox(box);
}

}  // namespace tamsil::ole
