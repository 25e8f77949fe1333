// The error reporter's message window (the stored window FWERROR) and the history list it shows.
// MessageWindow shows one button per flag it is given, numbered from control 100 for the highest
// flag, and the icon in the image control; pressing a button ends the window with that button's
// flag. ErrorHistoryView fills the list (control 200) with the history: the message in the first
// column, its category in the second, the newest message last and selected.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/error/error_reporter.h"
#include "framework/window/procedure_window.h"

namespace tamsil::window {
class Window;
}

namespace tamsil::framework {

// The FWERROR window's module, window label and controls.
inline constexpr const char* kMessageWindowModule = "FWERROR";
inline constexpr const char* kMessageWindowLabel = "$WINDOW";
enum MessageWindowControl : int { kFirstMessageButton = 100, kHistoryList = 200, kMessageIcon = 300 };

class ErrorHistoryView : public WindowComponent {
 public:
  // The list's texts: one row per entry, the cells of a row separated by a tab.
  std::vector<std::string> Rows() const;
  // The text of a cell: TXT in column 1, CATEGORY in column 2, empty otherwise (rows from 1).
  std::string Cell(std::size_t row, int column) const;

  std::uint8_t TakeEvent() override;
  void RefreshDisplay() override;

  ErrorReporter* ERR = nullptr;
  std::vector<ErrorHistoryEntry> HISTORY;
  std::int16_t LBCOLUMNS = 0;
  window::Window* WIN = nullptr;

 private:
  // Reads the column count from the list's format and shows the rows.
  void fill();
};

class MessageWindow : public ProcedureWindow {
 public:
  std::uint8_t Setup() override;
  std::uint8_t Teardown() override;
  std::uint8_t OnAccepted() override;
  virtual void ShowIcon();

  std::int32_t BUTTONTYPES = 0;
  std::string CAPTION;
  ErrorReporter* ERR = nullptr;
  std::int32_t ICON = 0;  // a standard icon number; 0 shows the information icon
  ErrorHistoryView* HISTORYHANDLER = nullptr;
  std::int32_t MSGBUTTONS = 0;
  std::array<std::int32_t, 8> MSGBUTTONID{};
  std::int32_t MSGRVAL = 0;
  std::int32_t STYLE = 0;
  window::Window* WIN = nullptr;
};

}  // namespace tamsil::framework
