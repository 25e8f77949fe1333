// The texts of the file error numbers: the file errors (2 to 100) and the operating-system errors
// (301 to 391, 300 plus the system's number). The file layer posts them; the runtime error report
// shows them for a runtime error of such a number. They live in the core so both can reach them.
#pragma once

namespace tamsil {

inline constexpr int kOsErrorTextBase = 300;  // message 300 + n is operating-system error n
inline constexpr int kOsErrorTexts = 91;      // operating-system errors 1 to 91 have messages

// The text of a file or operating-system error number; an operating-system number without a text
// of its own reads "Unknown Error"; null for any other number.
const char* FileErrorText(int code);

}  // namespace tamsil
