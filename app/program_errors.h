// What the program needs of the framework's error reporter: one process-wide object that is
// initialised once, told which procedure each thread is in, and handed to the window as the form's
// error reporting. `ProcedureTracker` is the plain implementation the program runs with until the
// framework's reporter is wired in behind the same interface.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "framework/window/form_parts.h"

namespace kestrel {

class ProgramErrors : public tamsil::framework::ErrorReporting {
 public:
  virtual void Init() = 0;
  // With a name: the calling thread enters that procedure; empty: it leaves its latest one.
  virtual void TrackProcedure(std::string_view name) = 0;
  // The calling thread's current procedure; empty when it is in none.
  virtual std::string CurrentProcedure() const = 0;
};

class ProcedureTracker : public ProgramErrors {
 public:
  void Init() override;
  void TrackProcedure(std::string_view name) override;
  std::string CurrentProcedure() const override;
  // No error table: every error is taken as reported and every question answers its default.
  std::uint8_t Throw(int id) override;
  int Prompt(int id, int buttons, int defaultButton) override;

 private:
  mutable std::mutex mutex_;
  std::map<unsigned long, std::vector<std::string>> names_;  // by thread number
};

}  // namespace kestrel
