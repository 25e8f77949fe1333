#include "wrapper/com_result_checker.h"

#include "platform/com/com.h"
#include "platform/com/ole.h"
#include "runtime/window/message_box.h"
#include "wrapper/text_utility.h"

namespace kestrel::wrapper {

ComResultChecker::ComResultChecker(bool debug) : DEBUG(debug) { platform::CoInitialize(nullptr); }

ComResultChecker::~ComResultChecker() { platform::CoUninitialize(); }

std::uint8_t ComResultChecker::CheckResult(platform::HRESULT result, std::string_view label) {
  LASTHR = result;
  if (result >= 0) return kSucceeded;
  // The text FormatMessageA gives from the system table, held whole rather than in a buffer the
  // platform allocates, then cut to the field's width.
  ERRORSTR = platform::SystemMessageText(platform::DWORD(result)).substr(0, kErrorTextSize);
  if (ERRORSTR.empty()) ERRORSTR = kUnknownError;
  if (DEBUG) {
    namespace win = tamsil::window;
    win::RuntimeMessageBox(
        {std::string(TextUtility::Clip(ERRORSTR)), std::string(TextUtility::Clip(label)), win::MessageIcon::Information, win::BtnOk});
  }
  return kFailed;
}

}  // namespace kestrel::wrapper
