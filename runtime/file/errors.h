// The error texts of file operations and the calls that post errors to the thread's error state
// (runtime/core/error_state.h).
#pragma once

#include <string>
#include <string_view>

namespace tamsil::file {

inline constexpr int kErrorUnknown = 81;         // "Unknown Error Posted"
inline constexpr int kErrorFileSystem = 90;      // "File System Error": the driver's own error
inline constexpr int kErrorBadDeclaration = 47;  // "Invalid Record Declaration"
inline constexpr int kErrorUnsupported = 80;     // "Unsupported File Driver Function"
inline constexpr int kOsErrorBase = 300;         // 300 + an operating-system error number

// The text of a runtime message number: a TSLMSGn setting when the settings file gives one, else
// the file error texts (2..100), the operating-system texts (301..391), or "Unknown Error
// Posted : n". Code 0 is read as 81.
std::string errorText(int code);

// Posts code with its text. Code 0 posts the operating-system error instead, as 300 plus the
// thread's last-error value.
void postError(int code);

// Posts 90 with the driver's own error code and message.
void postDriverError(std::string_view driverCode, std::string_view driverText);

}  // namespace tamsil::file
