// The numbers the framework's window classes share with procedures and with the error reporter:
// handler severities, requests, responses, actions, message-button flags and the events the
// window manager compares and posts.
#pragma once

#include <cstdint>

#include "runtime/window/event_codes.h"

namespace tamsil::framework {

// What every framework handler answers. In the event loop SevNone lets the runtime do its
// default processing, SevInform skips it for this event and SevHalt leaves the loop; the other
// values are the error reporter's.
enum Severity : std::uint8_t {
  SevNone = 0,
  SevQuestion = 1,
  SevInternal = 2,
  SevHalt = 3,
  SevDeclined = 4,
  SevInform = 5,
};

// What a procedure is asked to do with its record (REQUEST, ORIGINALREQUEST, BEFORESAVEREQUEST).
enum Request : std::uint8_t {
  RequestNone = 0,
  InsertRecord = 1,
  ChangeRecord = 2,
  DeleteRecord = 3,
  ViewRecord = 6,   // writes nothing; the Save button is refused under it
  SaveAndGoOn = 7,  // the Save button was pressed; the request before is kept aside
};

// How a procedure ended (RESPONSE).
enum Response : std::uint8_t { ResponseNone = 0, RequestCompleted = 1, RequestCancelled = 2 };

// What a form does once a request is done (INSERTACTION, CHANGEACTION, DELETEACTION).
enum Action : std::uint8_t {
  ActionFinish = 2,    // finish the window with a response
  ActionStay = 3,      // stay and prime a fresh record (insert only)
  ActionAskFirst = 4,  // ask the user first
};

// CANCELACTION bits: closing with unsaved changes is handled (bit 0), by asking the save
// question (bit 1) rather than pressing the OK control; without bit 0 only a confirmation is asked.
enum CancelActionBit : std::uint8_t { CancelHandlesChanges = 0x01, CancelAsksToSave = 0x02 };

// Message-box buttons; a question answers with the flag of the button pressed.
enum Button : int {
  BtnOk = 1,
  BtnYes = 2,
  BtnNo = 4,
  BtnAbort = 8,
  BtnRetry = 16,
  BtnIgnore = 32,
  BtnCancel = 64,
  BtnHelp = 128,
};

// The framework's own event, posted after every Sized event; the resizer and derived windows
// listen for it.
inline constexpr int EventResizeNeeded = 0x3FF;

// The toolbar's history (ditto) button.
inline constexpr int kToolbarHistoryButton = 3012;

// Error-table numbers of the standard questions a form asks.
enum FormMessage : int {
  MsgRecordAdded = 3,
  MsgCancelChanges = 10,
  MsgDeleteError = 36,
  MsgUpdateError = 37,
  MsgSaveRecord = 38,
};

}  // namespace tamsil::framework
