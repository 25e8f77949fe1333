// ErrorContext: what the error reporter knows about the error being reported on one thread. The
// caller names the field, file, key and message before it raises an error; Raise saves the
// runtime's error state; SelectError keeps the chosen table entry and the id before it. Each
// thread has its own, so concurrent threads report their own files and procedures.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/error/error_table.h"

namespace tamsil::framework {

struct ErrorContext {
  // The texts are zero-terminated strings of this many bytes; longer values are cut.
  static constexpr std::size_t kTextSize = 255;

  std::string FIELDNAME;
  std::string FILENAME;
  std::string KEYNAME;
  std::string MESSAGETEXT;
  std::string SAVEERROR;
  std::int32_t SAVEERRORCODE = 0;
  std::string SAVEFILEERROR;
  std::string SAVEFILEERRORCODE;
  ErrorEntry ERRORBUFFER;
  std::int32_t PREVERRORID = 0;
  // The notes of log failures, in the order they happened ("Unable to Open error log; " ...).
  std::string LOGNOTES;

  void SetField(std::string_view text) { FIELDNAME = cut(text); }
  void SetFile(std::string_view text) { FILENAME = cut(text); }
  void SetKey(std::string_view text) { KEYNAME = cut(text); }
  void SetMessage(std::string_view text) { MESSAGETEXT = cut(text); }

  // A value as a field of kTextSize bytes holds it: at most kTextSize - 1 characters.
  static std::string cut(std::string_view text) { return std::string(text.substr(0, kTextSize - 1)); }
};

}  // namespace tamsil::framework
