#include "framework/error/message_window.h"

#include <algorithm>

#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/properties.h"
#include "runtime/window/window_object.h"

namespace tamsil::framework {

namespace prop = window::prop;

namespace {

// The texts of the buttons for flags 1, 2, 4 ... 128.
constexpr const char* kButtonTexts[] = {"O&k", "&Yes", "&No", "&Abort", "&Retry", "&Ignore", "&Cancel", "&Help"};

// A list's columns: each column of its format is laid out by one picture between two '@'.
std::int16_t columnCount(std::string_view format) { return std::int16_t(std::ranges::count(format, '@') / 2); }

}  // namespace

std::string ErrorHistoryView::Cell(std::size_t row, int column) const {
  if (row < 1 || row > HISTORY.size()) return {};
  const ErrorHistoryEntry& e = HISTORY[row - 1];
  return column == 1 ? e.TXT : column == 2 ? e.CATEGORY : std::string();
}

std::vector<std::string> ErrorHistoryView::Rows() const {
  std::vector<std::string> rows;
  for (std::size_t row = 1; row <= HISTORY.size(); ++row) {
    std::string text;
    for (int column = 1; column <= LBCOLUMNS; ++column) text += (column > 1 ? "\t" : "") + Cell(row, column);
    rows.push_back(std::move(text));
  }
  return rows;
}

std::uint8_t ErrorHistoryView::TakeEvent() {
  if (window::EventCode() == window::event::OpenWindow) fill();
  return SevNone;
}

void ErrorHistoryView::RefreshDisplay() { fill(); }

void ErrorHistoryView::fill() {
  const window::Control* list = WIN ? WIN->control(kHistoryList) : nullptr;
  if (!list || !list->hwnd) return;
  LBCOLUMNS = columnCount(list->format);
  platform::SendMessageA(list->hwnd, platform::LB_RESETCONTENT, 0, 0);
  for (const std::string& row : Rows()) platform::SendMessageA(list->hwnd, platform::LB_ADDSTRING, 0, platform::LPARAM(row.c_str()));
  if (!HISTORY.empty()) platform::SendMessageA(list->hwnd, platform::LB_SETCURSEL, HISTORY.size() - 1, 0);
  window::SetProperty(*WIN, kHistoryList, prop::Hide, 0L);
}

std::uint8_t MessageWindow::Setup() {
  if (const std::uint8_t r = ProcedureWindow::Setup()) return r;
  if (HISTORYHANDLER) AddComponent(*HISTORYHANDLER);
  OpenWindow(*WIN);
  if (CAPTION.find_first_not_of(' ') != std::string::npos) window::SetProperty(*WIN, 0, prop::Text, CAPTION);
  MSGBUTTONS = 0;
  for (int n = 7; n >= 0; --n) {
    const std::int32_t flag = 1 << n;
    if (!(BUTTONTYPES & flag)) continue;
    MSGBUTTONID[std::size_t(MSGBUTTONS)] = flag;
    ++MSGBUTTONS;
    const int control = kFirstMessageButton - 1 + MSGBUTTONS;
    window::SetProperty(*WIN, control, prop::Text, kButtonTexts[n]);
    if (flag == MSGRVAL) {
      window::SetProperty(*WIN, control, prop::Default, 1L);
      window::SelectField(control);
    }
    window::SetProperty(*WIN, control, prop::Hide, 0L);
  }
  ShowIcon();
  return SevNone;
}

void MessageWindow::ShowIcon() {
  const window::Control* image = WIN->control(kMessageIcon);
  if (!image || !image->hwnd) return;
  platform::SendMessageA(image->hwnd, platform::STM_SETIMAGE, 0, platform::LoadIconA(ICON ? ICON : IconInformation));
  window::SetProperty(*WIN, kMessageIcon, prop::Hide, 0L);
}

std::uint8_t MessageWindow::OnAccepted() {
  if (const std::uint8_t r = ProcedureWindow::OnAccepted()) return r;
  const int button = window::AcceptedField() - kFirstMessageButton;
  if (button < 0 || button >= MSGBUTTONS) return SevNone;
  MSGRVAL = MSGBUTTONID[std::size_t(button)];
  return SevHalt;
}

std::uint8_t MessageWindow::Teardown() {
  const std::uint8_t r = ProcedureWindow::Teardown();
  if (r != SevNone) return r;
  CAPTION.clear();
  if (WIN && WIN->handle) window::CloseWindowOp(*WIN);
  OPENED = 0;
  return r;
}

}  // namespace tamsil::framework
