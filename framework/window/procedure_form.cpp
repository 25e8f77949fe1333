// The record-editing side of ProcedureWindow: what happens when a form's request completes
// (insert, change, delete, save and go on), closing with unsaved changes, and field history.
#include <algorithm>

#include "framework/window/procedure_window.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/properties.h"

namespace tamsil::framework {

namespace event = window::event;

std::uint8_t ProcedureWindow::PrepareRequest() {
  if (PRIMARY && !PRIMARY->PrepareRequest(REQUEST)) return SevHalt;
  return SevNone;
}

std::uint8_t ProcedureWindow::OnCompleted() {
  // A request that writes holds the cancel buttons off until it is done or refused.
  if (REQUEST == InsertRecord || REQUEST == ChangeRecord || REQUEST == DeleteRecord || REQUEST == SaveAndGoOn) DisableCancelButtons();
  switch (REQUEST) {
    case InsertRecord: return CompleteInsert();
    case ChangeRecord: return CompleteChange();
    case DeleteRecord: return CompleteDelete();
    case SaveAndGoOn:
      if (ORIGINALREQUEST == InsertRecord) return CompleteSaveInsert();
      if (ORIGINALREQUEST == ChangeRecord) return CompleteSaveChange();
      REQUEST = BEFORESAVEREQUEST;
      EnableCancelButtons();
      return SevNone;
    case ViewRecord:
      if (BATCHPROCESSING && FORMVCR) {
        FORMVCR->MoveOn();
        if (PRIMARY) SAVED = PRIMARY->SaveState();
        return RedisplayAndStay();
      }
      return SevNone;
    default: return SevNone;
  }
}

std::uint8_t ProcedureWindow::CompleteInsert() {
  if (PRIMARY && PRIMARY->Insert() != 0) return BackToFirstField();
  if (!BATCHPROCESSING) {
    if (INSERTACTION == ActionFinish) {
      Finish(RequestCompleted);
      return SevNone;
    }
    // The record-added question asks whether to add another: no finishes the window.
    if (INSERTACTION == ActionAskFirst && ERRORS && ERRORS->Throw(MsgRecordAdded) != SevNone) {
      Finish(RequestCompleted);
      return SevNone;
    }
  }
  if (INSERTACTION == ActionStay || INSERTACTION == ActionAskFirst || BATCHPROCESSING) {
    PrepareNextInsert();
    return RedisplayAndStay();
  }
  return SevNone;
}

void ProcedureWindow::PrepareNextInsert() {
  if (PRIMARY) LASTINSERTEDPOSITION = PRIMARY->Position().substr(0, kPositionSize);
  SaveHistory();
  if (PRIMARY) PRIMARY->Prime();
  if (PRIMARY && PRIMARY->CloseAfterInsert()) {
    PostClose();
  } else {
    PrimeRecord();
    RESPONSE = RequestCancelled;
  }
  if (PRIMARY) SAVED = PRIMARY->SaveState();
}

std::uint8_t ProcedureWindow::CompleteChange() {
  for (;;) {
    RESPONSE = RequestCancelled;
    const bool changed = PRIMARY && PRIMARY->ChangedSince(SAVED);
    const int result = changed ? PRIMARY->Update(HISTORYKEY != 0) : 0;
    if (result == 0) {
      // Nothing changed while the toolbar asks to move on: the record is left as it was.
      const bool navigating = !changed && TOOLBAR && VCRREQUEST && *VCRREQUEST;
      if (!navigating) RESPONSE = RequestCompleted;
      if (ORIGINALREQUEST == ChangeRecord) {
        if (!BATCHPROCESSING) {
          if (CHANGEACTION == ActionFinish) PostClose();
        } else if (FORMVCR) {
          FORMVCR->MoveOn();
          if (PRIMARY) SAVED = PRIMARY->SaveState();
          return RedisplayAndStay();
        }
      }
      // A record this window inserted and then changed: the window goes on as an insert form.
      if (ORIGINALREQUEST == InsertRecord && RESPONSE == RequestCompleted) {
        EnableCancelButtons();
        REQUEST = InsertRecord;
        if (INSERTACTION == ActionStay) {
          PrepareNextInsert();
          return RedisplayAndStay();
        }
      }
      return SevNone;
    }
    if (result != 1) return RedisplayAndStay();
    const int answer = ERRORS ? ERRORS->Prompt(MsgUpdateError, BtnYes | BtnNo | BtnCancel, BtnCancel) : int(BtnCancel);
    if (answer == BtnYes) continue;
    if (answer == BtnNo) {
      if (ORIGINALREQUEST != InsertRecord) PostClose();
      return SevInform;
    }
    return RedisplayAndStay();
  }
}

std::uint8_t ProcedureWindow::CompleteDelete() {
  for (;;) {
    RESPONSE = RequestCancelled;
    const int result = PRIMARY ? PRIMARY->Delete(DELETEACTION == ActionFinish) : 0;
    if (result == 0 || result == 4) {
      if (!BATCHPROCESSING) {
        Finish(RequestCompleted);
        return SevNone;
      }
      if (PRIMARY) SAVED = PRIMARY->SaveState();
      return RedisplayAndStay();
    }
    const int answer = ERRORS ? ERRORS->Prompt(MsgDeleteError, BtnYes | BtnNo | BtnCancel, BtnCancel) : int(BtnCancel);
    if (answer == BtnYes) continue;
    if (answer == BtnNo) {
      if (!BATCHPROCESSING) PostClose();
      return SevInform;
    }
    return RedisplayAndStay();
  }
}

// Save and go on for a new record: the first save inserts it, and from then on the form changes
// the record it inserted (a second insert would write it twice).
std::uint8_t ProcedureWindow::CompleteSaveInsert() {
  if (RECORDSAVED) return CompleteSaveChange();
  REQUEST = BEFORESAVEREQUEST;
  if (PRIMARY && PRIMARY->Insert() != 0) return BackToFirstField();
  RECORDSAVED = 1;
  RESPONSE = RequestCompleted;
  REQUEST = ChangeRecord;  // the record exists now: OK changes it
  if (PRIMARY) {
    LASTINSERTEDPOSITION = PRIMARY->Position().substr(0, kPositionSize);
    SAVED = PRIMARY->SaveState();
  }
  SaveHistory();
  return RedisplayAndStay();
}

std::uint8_t ProcedureWindow::CompleteSaveChange() {
  REQUEST = BEFORESAVEREQUEST;
  for (;;) {
    const bool changed = PRIMARY && PRIMARY->ChangedSince(SAVED);
    const int result = changed ? PRIMARY->Update(HISTORYKEY != 0) : 0;
    if (result == 0) {
      RECORDSAVED = 1;
      RESPONSE = RequestCompleted;
      if (PRIMARY) SAVED = PRIMARY->SaveState();
      SaveHistory();
      return RedisplayAndStay();
    }
    if (result == 1 && ERRORS && ERRORS->Prompt(MsgUpdateError, BtnYes | BtnNo | BtnCancel, BtnCancel) == BtnYes) continue;
    return RedisplayAndStay();
  }
}

std::uint8_t ProcedureWindow::OnCloseRequest() {
  const bool editing = REQUEST == InsertRecord || REQUEST == ChangeRecord;
  if (RESPONSE != RequestCompleted && PRIMARY && CANCELACTION && editing && PRIMARY->ChangedSince(SAVED)) {
    if (!(CANCELACTION & CancelHandlesChanges)) {
      if (ERRORS && ERRORS->Throw(MsgCancelChanges) == SevDeclined) return BackToFirstField();
    } else if (!(CANCELACTION & CancelAsksToSave)) {
      window::PostEvent(event::Accepted, OKCONTROL);
      return SevInform;
    } else {
      // Without an error reporter nobody can be asked: the changes are kept and the form stays.
      const int answer = ERRORS ? ERRORS->Prompt(MsgSaveRecord, BtnYes | BtnNo | BtnCancel, BtnCancel) : int(BtnCancel);
      if (answer == BtnYes) {
        window::PostEvent(event::Accepted, OKCONTROL);
        return SevInform;
      }
      if (answer != BtnNo) return BackToFirstField();
    }
  }
  if (ORIGINALREQUEST == InsertRecord && RESPONSE == RequestCancelled && PRIMARY && PRIMARY->UndoInsert() != 0) return BackToFirstField();
  if (!LASTINSERTEDPOSITION.empty()) {
    RESPONSE = RequestCompleted;
    if (PRIMARY) PRIMARY->Fetch(LASTINSERTEDPOSITION);
  }
  return SevNone;
}

void ProcedureWindow::AddHistoryField(int control) {
  if (!HISTORY) HISTORY = std::make_unique<std::vector<HistoryEntry>>();
  if (std::ranges::find(*HISTORY, control, &HistoryEntry::CONTROL) == HISTORY->end()) HISTORY->push_back({control, {}});
}

void ProcedureWindow::SaveHistory() {
  if (!HISTORY || !MYWINDOW) return;
  for (HistoryEntry& h : *HISTORY) h.VALUE = window::GetProperty(*MYWINDOW, h.CONTROL, window::prop::Text).text;
}

void ProcedureWindow::RecallField() {
  if (!HISTORY || !MYWINDOW) return;
  const int focused = FocusedField();
  const auto it = std::ranges::find(*HISTORY, focused, &HistoryEntry::CONTROL);
  if (focused && it != HISTORY->end()) window::SetProperty(*MYWINDOW, focused, window::prop::Text, it->VALUE);
}

std::uint8_t ProcedureWindow::BackToFirstField() {
  EnableCancelButtons();
  if (FIRSTFIELD) window::SelectField(FIRSTFIELD);
  return SevInform;
}

std::uint8_t ProcedureWindow::RedisplayAndStay() {
  window::DisplayFields();
  return BackToFirstField();
}

}  // namespace tamsil::framework
