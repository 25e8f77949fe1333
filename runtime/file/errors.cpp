#include "runtime/file/errors.h"

#include "platform/system/last_error.h"
#include "runtime/core/error_state.h"
#include "runtime/core/file_error_texts.h"
#include "runtime/value/locale.h"

namespace tamsil::file {

std::string errorText(int code) {
  if (code == 0) code = kErrorUnknown;
  if (const auto text = messageOverride(code)) return std::string(*text);
  if (const char* text = FileErrorText(code)) return text;
  return errorText(kErrorUnknown) + " : " + std::to_string(code);
}

void postError(int code) {
  if (code == 0) code = kOsErrorBase + int(platform::GetLastError());
  storeError(code, errorText(code));
}

void postDriverError(std::string_view driverCode, std::string_view driverText) {
  postError(kErrorFileSystem);
  storeDriverError(driverCode, driverText);
}

}  // namespace tamsil::file
