#include "framework/error/error_reporter.h"

#include <algorithm>

#include "framework/error/expand_tokens.h"
#include "framework/error/message_window.h"
#include "platform/queue/thread.h"
#include "runtime/core/error_state.h"
#include "runtime/core/startup.h"
#include "runtime/value/calendar.h"
#include "runtime/value/format.h"
#include "runtime/window/message_box.h"
#include "runtime/window/window_object.h"

namespace tamsil::framework {

namespace {

// A text as a zero-terminated field of `size` bytes holds it.
std::string cut(std::string_view text, std::size_t size) { return std::string(text.substr(0, size - 1)); }

window::MessageIcon boxIcon(IconReference icon) {
  switch (iconNumber(icon)) {
    case IconStop: return window::MessageIcon::Stop;
    case IconQuestion: return window::MessageIcon::Question;
    case IconExclamation: return window::MessageIcon::Exclamation;
    case IconInformation: return window::MessageIcon::Information;
    default: return window::MessageIcon::None;
  }
}

// The log line's stamp: today's date by the locale's short date picture, "@", the time by the
// locale's time picture.
std::string logStamp() {
  static const CompiledPicture date = compilePicture("@D17"), time = compilePicture("@T8");
  const auto trimmed = [](std::string_view s) {
    const auto first = s.find_first_not_of(' '), last = s.find_last_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(s.substr(first, last - first + 1));
  };
  return trimmed(format(double(today()), date).view()) + "@" + trimmed(format(double(clockTime()), time).view());
}

}  // namespace

ErrorReporter::ErrorReporter() {
  STDERRORLOG = std::make_unique<ErrorLogFile>();
  AssignCategory(-1, "FWK");
  Prepare(*STDERRORLOG);
}

ErrorReporter::~ErrorReporter() { Release(); }

void ErrorReporter::Release() {
  std::lock_guard lock(CRITSECT);
  ERRORS.reset();
  HISTORY.reset();
  PROCNAMES.reset();
  if (ERRORLOG == STDERRORLOG.get()) ERRORLOG = nullptr;
  STDERRORLOG.reset();
}

void ErrorReporter::Prepare(ErrorLog& log) {
  std::lock_guard lock(CRITSECT);
  ERRORLOG = &log;
  if (!ERRORS) ERRORS = std::make_unique<std::vector<ErrorEntry>>();
  LoadErrorTable(defaultErrorTable());
  if (!PROCNAMES) PROCNAMES = std::make_unique<std::vector<ProcedureName>>();
  if (!HISTORY) HISTORY = std::make_unique<std::vector<ErrorHistoryEntry>>();
}

void ErrorReporter::DefineError(std::int32_t id, std::uint8_t fatality, std::string_view title, std::string_view message,
                                std::string_view category) {
  std::lock_guard lock(CRITSECT);
  if (!ERRORS) ERRORS = std::make_unique<std::vector<ErrorEntry>>();
  ERRORS->push_back({id, std::string(message), std::string(title), fatality, std::string(category)});
}

bool ErrorReporter::LoadErrorTable(std::span<const std::uint8_t> table) {
  const auto entries = decodeErrorTable(table);
  if (!entries) return false;
  std::lock_guard lock(CRITSECT);
  for (const ErrorDefinition& e : *entries) DefineError(e.id, e.fatality, e.title, e.message);
  return true;
}

void ErrorReporter::UndefineError(std::int32_t id) {
  std::lock_guard lock(CRITSECT);
  if (!ERRORS) return;
  const auto it = std::find_if(ERRORS->rbegin(), ERRORS->rend(), [id](const ErrorEntry& e) { return e.ID == id; });
  if (it != ERRORS->rend()) ERRORS->erase(std::next(it).base());
}

const ErrorEntry* ErrorReporter::find(std::int32_t id) const {
  if (!ERRORS) return nullptr;
  const auto it = std::find_if(ERRORS->rbegin(), ERRORS->rend(), [id](const ErrorEntry& e) { return e.ID == id; });
  return it == ERRORS->rend() ? nullptr : &*it;
}

void ErrorReporter::AssignCategory(std::int32_t id, std::string_view category) {
  std::lock_guard lock(CRITSECT);
  if (id == -1) {
    DEFAULTCATEGORY = category;
    return;
  }
  if (!ERRORS) return;
  const auto it = std::find_if(ERRORS->rbegin(), ERRORS->rend(), [id](const ErrorEntry& e) { return e.ID == id; });
  if (it != ERRORS->rend()) it->CATEGORY = category;
}

ErrorContext& ErrorReporter::Status() {
  std::lock_guard lock(CRITSECT);
  std::unique_ptr<ErrorContext>& context = STATUS[std::this_thread::get_id()];
  if (!context) context = std::make_unique<ErrorContext>();
  return *context;
}

void ErrorReporter::SelectError(std::int32_t id) {
  ErrorContext& status = Status();
  std::lock_guard lock(CRITSECT);
  status.PREVERRORID = status.ERRORBUFFER.ID;
  const ErrorEntry* e = find(id);
  status.ERRORBUFFER = e ? *e : ErrorEntry{};
}

std::string ErrorReporter::CurrentProcedure() {
  const std::uint32_t thread = platform::GetCurrentThreadId();
  std::lock_guard lock(CRITSECT);
  if (PROCNAMES)
    for (auto it = PROCNAMES->rbegin(); it != PROCNAMES->rend(); ++it)
      if (it->THREAD == thread) return it->NAME;
  return "%Procedure";
}

void ErrorReporter::TrackProcedure(std::string_view name) {
  const std::uint32_t thread = platform::GetCurrentThreadId();
  std::lock_guard lock(CRITSECT);
  if (!PROCNAMES) PROCNAMES = std::make_unique<std::vector<ProcedureName>>();
  if (!name.empty()) {
    PROCNAMES->push_back({thread, std::string(name)});
    return;
  }
  const auto it = std::find_if(PROCNAMES->rbegin(), PROCNAMES->rend(), [thread](const ProcedureName& p) { return p.THREAD == thread; });
  if (it != PROCNAMES->rend()) PROCNAMES->erase(std::next(it).base());
}

std::string ErrorReporter::ExpandTokens() {
  const ErrorContext& status = Status();
  TokenSources sources;
  sources.procedure = CurrentProcedure();
  sources.messageOf = [this](std::int32_t id) {
    std::lock_guard lock(CRITSECT);
    const ErrorEntry* e = find(id);
    return e ? e->MESSAGE : std::string();
  };
  return expandTokens(status, sources);
}

std::uint8_t ErrorReporter::Raise(std::int32_t id) {
  ErrorContext& status = Status();
  const ErrorState& state = currentErrorState();
  status.SAVEERRORCODE = state.code;
  const auto last = state.text.find_last_not_of(' ');
  status.SAVEERROR = cut(std::string_view(state.text).substr(0, last == std::string::npos ? 0 : last + 1), ErrorContext::kTextSize);
  status.SAVEFILEERRORCODE = cut(state.driverCode, ErrorContext::kTextSize);
  status.SAVEFILEERROR = cut(state.driverText, ErrorContext::kTextSize);
  return take(id);
}

std::uint8_t ErrorReporter::take(std::int32_t id) {
  SelectError(id);
  switch (Status().ERRORBUFFER.FATALITY) {
    case SevNone: return HandleSilent();
    case SevQuestion:
    case SevDeclined: return HandleQuestion();
    case SevInternal: return HandleInternal();
    case SevHalt: return HandleFatal();
    case SevInform: return HandleInform();
    default: return HandleUnknown();
  }
}

int ErrorReporter::Prompt(int id, int buttons, int defaultButton) {
  if (Silent()) return defaultButton;
  SelectError(id);
  const std::string title = Status().ERRORBUFFER.TITLE;
  return PresentInBox(ExpandTokens(), title, iconReference(IconExclamation), buttons, defaultButton, MessageStyle());
}

std::uint8_t ErrorReporter::HandleSilent() { return SevNone; }

std::uint8_t ErrorReporter::HandleQuestion() {
  const std::string title = Status().ERRORBUFFER.TITLE;
  const int answer = Deliver(ExpandTokens(), title, iconReference(IconExclamation), BtnYes | BtnNo, BtnYes, MessageStyle());
  return answer == BtnYes ? SevNone : SevDeclined;
}

std::uint8_t ErrorReporter::HandleInform() {
  const std::string title = Status().ERRORBUFFER.TITLE;
  Deliver(ExpandTokens(), title, iconReference(IconInformation), BtnOk, BtnOk, MessageStyle());
  return SevInform;
}

std::uint8_t ErrorReporter::HandleFatal() {
  const std::string title = Status().ERRORBUFFER.TITLE;
  Deliver(ExpandTokens() + std::string(kFatalClosingText), title, iconReference(IconInformation), BtnOk, BtnOk, MessageStyle());
  EndProgram(kFatalErrorExitCode);
  return SevHalt;
}

std::uint8_t ErrorReporter::HandleInternal() { return HandleFatal(); }

std::uint8_t ErrorReporter::HandleUnknown() { return HandleInternal(); }

void ErrorReporter::EndProgram(int exitCode) { Halt(exitCode); }

int ErrorReporter::Deliver(std::string_view text, std::string_view caption, IconReference icon, int buttons, int defaultButton, int style) {
  if (LogErrors()) logLine(text);
  if (HistoryThreshold() != 0) record(text);
  if (Silent()) return defaultButton;
  if (HistoryThreshold() == 0) return PresentInBox(text, caption, icon, buttons, defaultButton, style);
  if (Status().ERRORBUFFER.FATALITY != HistoryViewLevel()) return defaultButton;
  const int answer = PresentInWindow(caption, icon, buttons, defaultButton, style);
  if (HistoryResetOnView()) {
    std::lock_guard lock(CRITSECT);
    if (HISTORY) HISTORY->clear();
  }
  return answer;
}

// Log failures never stop the report: each adds its note to the thread's LOGNOTES.
void ErrorReporter::logLine(std::string_view text) {
  ErrorContext& status = Status();
  std::lock_guard lock(CRITSECT);
  if (!ERRORLOG) {
    status.LOGNOTES += kLogOpenFailed;
    return;
  }
  if (ERRORLOG->OpenLog(false) != SevNone) status.LOGNOTES += kLogOpenFailed;
  if (ERRORLOG->WriteLine(logStamp() + " --> " + std::string(text)) != SevNone) status.LOGNOTES += kLogWriteFailed;
  if (ERRORLOG->CloseLog(false) != SevNone) status.LOGNOTES += kLogCloseFailed;
}

void ErrorReporter::record(std::string_view text) {
  const ErrorEntry& current = Status().ERRORBUFFER;
  std::lock_guard lock(CRITSECT);
  if (HISTORYTHRESHOLD <= 0) return;
  if (!HISTORY) HISTORY = std::make_unique<std::vector<ErrorHistoryEntry>>();
  const std::size_t keep = std::size_t(HISTORYTHRESHOLD) - 1;
  if (HISTORY->size() > keep) HISTORY->erase(HISTORY->begin(), HISTORY->end() - std::ptrdiff_t(keep));
  ErrorHistoryEntry entry;
  entry.TXT = cut(text, ErrorHistoryEntry::kTextSize);
  entry.ID = std::int16_t(current.ID);
  entry.CATEGORY = current.CATEGORY.empty() ? DEFAULTCATEGORY : current.CATEGORY;
  RecordHistoryEntry(std::move(entry));
}

void ErrorReporter::RecordHistoryEntry(ErrorHistoryEntry entry) {
  std::lock_guard lock(CRITSECT);
  if (!HISTORY) HISTORY = std::make_unique<std::vector<ErrorHistoryEntry>>();
  HISTORY->push_back(std::move(entry));
}

int ErrorReporter::PresentInBox(std::string_view text, std::string_view caption, IconReference icon, int buttons, int defaultButton,
                                int style) {
  window::MessageBoxRequest request;
  request.text = std::string(text);
  request.caption = std::string(caption);
  request.icon = boxIcon(icon);
  request.buttons = unsigned(buttons);
  request.defaultButton = unsigned(defaultButton);
  request.style = unsigned(style);
  return int(window::RuntimeMessageBox(request));
}

int ErrorReporter::PresentInWindow(std::string_view caption, IconReference icon, int buttons, int defaultButton, int style) {
  MessageWindow message;
  return RunMessageWindow(message, caption, icon, buttons, defaultButton, style);
}

int ErrorReporter::RunMessageWindow(MessageWindow& message, std::string_view caption, IconReference icon, int buttons, int defaultButton,
                                    int style) {
  ErrorHistoryView view;
  view.ERR = this;
  view.HISTORY = History();
  window::Window win(kMessageWindowModule, kMessageWindowLabel);
  view.WIN = &win;
  message.CAPTION = std::string(caption);
  message.ICON = iconNumber(icon);
  message.BUTTONTYPES = buttons;
  message.MSGRVAL = defaultButton;
  message.STYLE = style;
  message.ERR = this;
  message.WIN = &win;
  message.HISTORYHANDLER = &view;
  message.Execute();
  return message.MSGRVAL;
}

int ErrorReporter::OpenHistory() {
  return PresentInWindow(kHistoryCaption, iconReference(IconInformation), BtnOk | BtnHelp, BtnOk, MessageStyle());
}

bool ErrorReporter::Silent() const {
  std::lock_guard lock(CRITSECT);
  return SILENT;
}
void ErrorReporter::SetSilent(bool silent) {
  std::lock_guard lock(CRITSECT);
  SILENT = silent;
}
bool ErrorReporter::LogErrors() const {
  std::lock_guard lock(CRITSECT);
  return LOGERRORS;
}
void ErrorReporter::SetLogErrors(bool log) {
  std::lock_guard lock(CRITSECT);
  LOGERRORS = log;
}
std::int32_t ErrorReporter::HistoryThreshold() const {
  std::lock_guard lock(CRITSECT);
  return HISTORYTHRESHOLD;
}
void ErrorReporter::SetHistoryThreshold(std::int32_t threshold) {
  std::lock_guard lock(CRITSECT);
  HISTORYTHRESHOLD = std::max(threshold, 0);
}
std::int32_t ErrorReporter::HistoryViewLevel() const {
  std::lock_guard lock(CRITSECT);
  return HISTORYVIEWLEVEL;
}
void ErrorReporter::SetHistoryViewLevel(std::int32_t level) {
  std::lock_guard lock(CRITSECT);
  HISTORYVIEWLEVEL = level;
}
bool ErrorReporter::HistoryResetOnView() const {
  std::lock_guard lock(CRITSECT);
  return HISTORYRESETONVIEW;
}
void ErrorReporter::SetHistoryResetOnView(bool reset) {
  std::lock_guard lock(CRITSECT);
  HISTORYRESETONVIEW = reset;
}
std::string ErrorReporter::DefaultCategory() const {
  std::lock_guard lock(CRITSECT);
  return DEFAULTCATEGORY;
}
void ErrorReporter::SetDefaultCategory(std::string_view category) { AssignCategory(-1, category); }
std::int16_t ErrorReporter::MessageStyle() const {
  std::lock_guard lock(CRITSECT);
  return MSGSTYLE;
}
void ErrorReporter::SetMessageStyle(std::int16_t style) {
  std::lock_guard lock(CRITSECT);
  MSGSTYLE = style;
}
void ErrorReporter::SetErrorLog(ErrorLog* log) {
  std::lock_guard lock(CRITSECT);
  ERRORLOG = log ? log : STDERRORLOG.get();
}
std::vector<ErrorHistoryEntry> ErrorReporter::History() const {
  std::lock_guard lock(CRITSECT);
  return HISTORY ? *HISTORY : std::vector<ErrorHistoryEntry>{};
}
std::vector<ErrorEntry> ErrorReporter::Errors() const {
  std::lock_guard lock(CRITSECT);
  return ERRORS ? *ERRORS : std::vector<ErrorEntry>{};
}

}  // namespace tamsil::framework
