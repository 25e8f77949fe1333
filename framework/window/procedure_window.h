// ProcedureWindow: drives one procedure's window through its whole life. Setup prepares the
// object, OpenWindow opens the window, EventLoop runs the runtime's loop and routes each event to
// HandleEvent and the overridable On... handlers, Teardown releases everything. Execute strings
// the steps together and answers the procedure's response. The same class carries the machinery
// of record-editing forms (primary relation, requests, OK and Save buttons, field history).
//
// Derived windows override the operations they need and call the base first (Setup, Teardown) or
// last (HandleEvent, OnWindowEvent), testing the severity it answers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/window/form_parts.h"
#include "framework/window/framework_codes.h"
#include "framework/window/toolbar_router.h"
#include "framework/window/window_component.h"
#include "runtime/record/procedure_window_fields.h"

namespace tamsil::window {
class Window;
}

namespace tamsil::framework {

class WindowResizer;

class ProcedureWindow {
 public:
  // Entries of the window's queues; BUTTONS, CL and FILES are laid out as stored
  // (runtime/record/procedure_window_fields.h).
#define TAMSIL_DECLARE_FIELD(make, name, type, ...) type name{};
  struct ButtonEntry {
    TAMSIL_BUTTON_ENTRY_FIELDS(TAMSIL_DECLARE_FIELD)
  };
  struct ComponentEntry {
    TAMSIL_COMPONENT_ENTRY_FIELDS(TAMSIL_DECLARE_FIELD)
  };
  struct FileEntry {
    TAMSIL_FILE_ENTRY_FIELDS(TAMSIL_DECLARE_FIELD)
  };
  struct HistoryEntry {
    std::int32_t CONTROL = 0;  // the control whose previous value is recalled
    std::string VALUE;         // its text when the history was last saved
  };

  virtual ~ProcedureWindow();

  // The virtual operations, in the order of the class's table.
  virtual void EventLoop();
  virtual std::uint8_t Setup();
  virtual std::uint8_t Teardown();
  virtual std::uint8_t FirstOpen();
  virtual void OpenWindow(window::Window& window, window::Window* owner = nullptr);
  virtual void PrimeRecord() {}
  virtual std::uint8_t PrepareRequest();
  virtual void Refresh(bool force);
  virtual void RecallField();
  virtual std::uint8_t Execute();
  virtual std::uint8_t ExecuteChild(int number, std::uint8_t request);
  virtual void ArmAlertKeys();
  virtual void Finish(std::uint8_t response);
  virtual std::uint8_t OnAccepted();
  virtual std::uint8_t OnCompleted();
  virtual std::uint8_t OnCloseRequest();
  virtual std::uint8_t HandleEvent();
  virtual std::uint8_t OnFieldEvent() { return SevNone; }
  virtual std::uint8_t OnNewSelection();
  virtual std::uint8_t OnNotify(int code, int thread, std::uintptr_t parameter);
  virtual std::uint8_t OnRejected();
  virtual std::uint8_t OnSelected() { return SevNone; }
  virtual std::uint8_t OnWindowEvent();
  virtual void UpdateComponents();
  // Writes the control's Disable property (1 switches it off, 0 on); control 0 is ignored.
  virtual void SetControlState(bool disable, int control);
  virtual std::uint8_t CompleteInsert();
  virtual std::uint8_t CompleteChange();
  virtual std::uint8_t CompleteDelete();
  virtual std::uint8_t CompleteSaveChange();
  virtual std::uint8_t CompleteSaveInsert();

  void AddComponent(WindowComponent& component);
  void AddButtonAction(int control, std::uint8_t action);
  void AttachResizer(WindowResizer& resizer);
  void AttachToolbar(ToolbarRouter& router);
  void AttachErrors(ErrorReporting& errors);
  // Keeps the control's value for recall by HISTORYKEY or the toolbar's history button.
  void AddHistoryField(int control);
  // Switch the buttons registered with ActionFinish off and on again while a record is saved
  // (only when DISABLECANCELBUTTON is set).
  void DisableCancelButtons();
  void EnableCancelButtons();

  // Fields, by the names the class stores them under, in stored order.
  TAMSIL_PROCEDURE_WINDOW_FIELDS(TAMSIL_DECLARE_FIELD)
#undef TAMSIL_DECLARE_FIELD

  enum InitedBit : std::uint8_t { FirstOpenDone = 0x01, FirstSizedSeen = 0x02 };
  static constexpr std::size_t kPositionSize = 1024;

 protected:
  // Selects FIRSTFIELD and answers SevInform: the form stays open after a refused request.
  std::uint8_t BackToFirstField();
  // Redisplays the window and goes back to FIRSTFIELD (SevInform).
  std::uint8_t RedisplayAndStay();
  // Posts CloseWindow to the current window.
  void PostClose();
  // Takes the history values from the window.
  void SaveHistory();
  // Prepares the next record of a form that stays for another insert.
  void PrepareNextInsert();
  // The field whose control has the focus; 0 when none does.
  int FocusedField() const;

 private:
  // Starts completing the window after OK or Save.
  void CompleteWindow();
  bool scopeOpen_ = false;
};

}  // namespace tamsil::framework
