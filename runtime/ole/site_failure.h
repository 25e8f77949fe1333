// What went wrong in one automation call, as the site reports it: in a message box when the
// program asked for reports (ReportException), else silently or, for an exception the object
// raised, as the stock error event.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/unknown.h"

namespace tamsil::ole {

struct Failure {
  enum class Kind {
    UnknownName,   // GetIDsOfNames did not know the name
    TypeMismatch,  // DISP_E_TYPEMISMATCH at an argument
    Exception,     // the object raised an exception
    ReadFailed,    // a property read failed otherwise
    Platform,      // any other platform failure, with its label
  };
  Kind kind = Kind::Platform;
  platform::HRESULT hr = 0;
  std::string label;                               // the failed operation ("CoGetClassObject")
  std::string detail;                              // the name, member text or description
  unsigned position = 0;                           // the mismatched argument, from 1 at the left
  const platform::EXCEPINFO* exception = nullptr;  // the object's report, for Exception

  static Failure unknownName(std::string_view name) { return {Kind::UnknownName, 0, {}, std::string(name), 0, nullptr}; }
  static Failure typeMismatch(unsigned position) { return {Kind::TypeMismatch, 0, {}, {}, position, nullptr}; }
  static Failure raised(platform::HRESULT hr, const platform::EXCEPINFO& info) { return {Kind::Exception, hr, {}, {}, 0, &info}; }
  static Failure readFailed(platform::HRESULT hr, std::string_view member) {
    return {Kind::ReadFailed, hr, "Get Named Property failed", std::string(member), 0, nullptr};
  }
  static Failure failed(std::string_view label, platform::HRESULT hr, std::string_view detail) {
    return {Kind::Platform, hr, std::string(label), std::string(detail), 0, nullptr};
  }
};

// The text of a platform failure's box: the label, a blank and the code in hexadecimal in
// parentheses, a line break, the system's text for the code and, when there is a detail, a line
// break and the detail in double quotes.
std::string platformFailureText(const Failure& failure);

}  // namespace tamsil::ole
