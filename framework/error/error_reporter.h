// ErrorReporter: the program's one reporter of conditions to the user. Code raises a small error
// number; the reporter looks it up in its table (the last entry with that number wins), keeps the
// runtime's error state in the thread's ErrorContext, replaces the message's tokens and, by the
// entry's severity, ignores it, asks a Yes/No question, informs, or shows it and ends the
// program. Every message shown can be appended to the error log and kept in a bounded history
// that the message window lists.
//
// The reporter is shared by every thread: each field is read and written under CRITSECT (a
// recursive lock, so an override may call back in), while the error context and the procedure
// names are kept per thread. No lock is held while a message is on the screen.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "framework/error/error_context.h"
#include "framework/error/error_log.h"
#include "framework/error/error_table.h"
#include "framework/window/form_parts.h"
#include "framework/window/framework_codes.h"

namespace tamsil::framework {

class MessageWindow;

// Icons are 4-byte references to the system's standard icons: 0xFF, 0x01, then the icon number
// (little-endian), held here as one little-endian word.
using IconReference = std::uint32_t;
enum StandardIcon : std::uint16_t { IconStop = 0x7F01, IconQuestion = 0x7F02, IconExclamation = 0x7F03, IconInformation = 0x7F04 };
constexpr IconReference iconReference(std::uint16_t number) { return 0xFFu | 0x01u << 8 | IconReference(number) << 16; }
// The icon number a reference names; 0 for anything that is not a standard-icon reference.
constexpr std::uint16_t iconNumber(IconReference icon) { return (icon & 0xFFFF) == 0x01FF ? std::uint16_t(icon >> 16) : 0; }

// A fatal error ends the program with this exit code: a failure never reads as success.
inline constexpr int kFatalErrorExitCode = 3;

inline constexpr std::string_view kFatalClosingText = "  Press OK to end this application";
inline constexpr std::string_view kHistoryCaption = "Errors History";
// Notes added to the thread's LOGNOTES when the log fails; the message is still recorded and shown.
inline constexpr std::string_view kLogOpenFailed = "Unable to Open error log; ";
inline constexpr std::string_view kLogWriteFailed = "Unable to update error log; ";
inline constexpr std::string_view kLogCloseFailed = "Unable to close error log; ";

struct ErrorHistoryEntry {
  static constexpr std::size_t kTextSize = 1024;
  std::string CATEGORY;
  std::string TXT;  // at most kTextSize - 1 characters
  std::int16_t ID = 0;
};

class ErrorReporter : public ErrorReporting {
 public:
  struct ProcedureName {
    std::uint32_t THREAD = 0;
    std::string NAME;
  };

  // Creates the standard log, sets the default category "FWK" and loads the default table.
  ErrorReporter();
  ~ErrorReporter() override;
  ErrorReporter(const ErrorReporter&) = delete;
  ErrorReporter& operator=(const ErrorReporter&) = delete;

  // The virtual operations, in the order of the class's table.
  virtual void Release();
  virtual void DefineError(std::int32_t id, std::uint8_t fatality, std::string_view title, std::string_view message,
                           std::string_view category = {});
  // Appends every entry of a stored table; a table that is not well formed adds nothing and
  // answers false.
  virtual bool LoadErrorTable(std::span<const std::uint8_t> table);
  virtual void RecordHistoryEntry(ErrorHistoryEntry entry);
  virtual int PresentInWindow(std::string_view caption, IconReference icon, int buttons, int defaultButton, int style);
  virtual int Deliver(std::string_view text, std::string_view caption, IconReference icon, int buttons, int defaultButton, int style);
  virtual int PresentInBox(std::string_view text, std::string_view caption, IconReference icon, int buttons, int defaultButton, int style);
  virtual void UndefineError(std::int32_t id);
  virtual void Prepare(ErrorLog& log);
  virtual std::uint8_t HandleSilent();
  virtual std::uint8_t HandleFatal();
  virtual std::uint8_t HandleInform();
  virtual std::uint8_t HandleUnknown();
  virtual std::uint8_t HandleInternal();
  virtual std::uint8_t HandleQuestion();
  virtual int OpenHistory();

  // Saves the runtime's error state into the thread's context and takes error `id` by its
  // severity: 0 for a silent or unknown error or a question answered Yes, SevDeclined for No,
  // SevInform for a notification; a fatal error ends the program.
  std::uint8_t Raise(std::int32_t id);
  // Asks message `id` with the given buttons; the flag of the button pressed (the default while
  // silent). Nothing is logged or kept in the history.
  int Prompt(int id, int buttons, int defaultButton) override;
  std::uint8_t Throw(int id) override { return Raise(id); }
  // Adds a program's own stored table after those loaded; its entries win over earlier ones with
  // the same id.
  bool AddErrors(std::span<const std::uint8_t> table) { return LoadErrorTable(table); }

  // With a name, pushes it as the calling thread's current procedure; with none, pops the
  // thread's last one.
  void TrackProcedure(std::string_view name);
  // Id -1 sets DEFAULTCATEGORY; otherwise the last entry with the id gets the category.
  void AssignCategory(std::int32_t id, std::string_view category);
  // Copies entry `id` into the thread's ERRORBUFFER (an empty entry when there is none).
  void SelectError(std::int32_t id);
  // The thread's current message with its tokens replaced.
  std::string ExpandTokens();
  // The calling thread's innermost procedure, "%Procedure" when it has none.
  std::string CurrentProcedure();

  // The calling thread's error context; set its field, file, key and message before Raise.
  ErrorContext& Status();

  // Accessors, each under CRITSECT.
  bool Silent() const;
  void SetSilent(bool silent);
  bool LogErrors() const;
  void SetLogErrors(bool log);
  std::int32_t HistoryThreshold() const;
  void SetHistoryThreshold(std::int32_t threshold);
  std::int32_t HistoryViewLevel() const;
  void SetHistoryViewLevel(std::int32_t level);
  bool HistoryResetOnView() const;
  void SetHistoryResetOnView(bool reset);
  std::string DefaultCategory() const;
  void SetDefaultCategory(std::string_view category);
  std::int16_t MessageStyle() const;
  void SetMessageStyle(std::int16_t style);
  // Replaces the log messages are appended to (the standard log when none is given).
  void SetErrorLog(ErrorLog* log);
  // Copies, taken under the lock.
  std::vector<ErrorHistoryEntry> History() const;
  std::vector<ErrorEntry> Errors() const;

 protected:
  // Ends the program after a fatal message; a derived reporter may end it otherwise.
  virtual void EndProgram(int exitCode);
  // What PresentInWindow does, on a message window the caller made (a derived reporter may watch
  // it): the window definition and the history view set up, the window run, its answer returned.
  int RunMessageWindow(MessageWindow& message, std::string_view caption, IconReference icon, int buttons, int defaultButton, int style);

 private:
  // The last entry with `id`, searched from the end; null when there is none. Holds no lock.
  const ErrorEntry* find(std::int32_t id) const;
  std::uint8_t take(std::int32_t id);
  void logLine(std::string_view text);
  void record(std::string_view text);

  mutable std::recursive_mutex CRITSECT;
  std::string DEFAULTCATEGORY;
  std::unique_ptr<std::vector<ErrorEntry>> ERRORS;
  ErrorLog* ERRORLOG = nullptr;
  std::unique_ptr<std::vector<ErrorHistoryEntry>> HISTORY;
  std::unique_ptr<std::vector<ProcedureName>> PROCNAMES;
  std::unique_ptr<ErrorLogFile> STDERRORLOG;
  std::uint8_t SILENT = 0;
  std::uint8_t LOGERRORS = 0;
  std::int32_t HISTORYTHRESHOLD = 0;
  std::int32_t HISTORYVIEWLEVEL = SevHalt;
  std::uint8_t HISTORYRESETONVIEW = 0;
  std::map<std::thread::id, std::unique_ptr<ErrorContext>> STATUS;
  std::int16_t MSGSTYLE = 0;
};

}  // namespace tamsil::framework
