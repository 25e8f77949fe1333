// What the program needs of the framework's error reporter: one process-wide object, told which
// procedure each thread is in and handed to the window as the form's error reporting.
// `ReporterErrors` puts the framework's ErrorReporter behind it; tests can put their own.
#pragma once

#include <string>
#include <string_view>

#include "framework/error/error_reporter.h"
#include "framework/window/form_parts.h"

namespace kestrel {

class ProgramErrors : public tamsil::framework::ErrorReporting {
 public:
  // With a name: the calling thread enters that procedure; empty: it leaves its latest one.
  virtual void TrackProcedure(std::string_view name) = 0;
  // The calling thread's current procedure, as the reporter names it.
  virtual std::string CurrentProcedure() = 0;
};

class ReporterErrors : public ProgramErrors {
 public:
  explicit ReporterErrors(tamsil::framework::ErrorReporter& reporter) : reporter_(reporter) {}
  void TrackProcedure(std::string_view name) override { reporter_.TrackProcedure(name); }
  std::string CurrentProcedure() override { return reporter_.CurrentProcedure(); }
  std::uint8_t Throw(int id) override { return reporter_.Throw(id); }
  int Prompt(int id, int buttons, int defaultButton) override { return reporter_.Prompt(id, buttons, defaultButton); }
  tamsil::framework::ErrorReporter& reporter() { return reporter_; }

 private:
  tamsil::framework::ErrorReporter& reporter_;
};

}  // namespace kestrel
