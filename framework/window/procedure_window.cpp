// ProcedureWindow's lifecycle and event routing; the form's request completion is in
// procedure_form.cpp.
#include "framework/window/procedure_window.h"

#include <algorithm>

#include "framework/window/window_resizer.h"
#include "runtime/core/thread_context.h"
#include "runtime/eval/evaluator.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/properties.h"

namespace tamsil::framework {

namespace event = window::event;

namespace {

// Last key codes that a procedure must not see as its first key (left over from the caller).
constexpr std::uint32_t kStaleKeys[] = {2, 130};

// How the loop body ends its pass for a handler's severity.
window::PassOutcome passOutcome(std::uint8_t severity) {
  if (severity == SevHalt) return window::PassOutcome::Break;
  if (severity == SevInform) return window::PassOutcome::Cycle;
  return window::PassOutcome::Normal;
}

}  // namespace

ProcedureWindow::~ProcedureWindow() {
  // A procedure that never ran its Teardown still closes the binding scope it opened.
  if (scopeOpen_) POPBIND();
}

std::uint8_t ProcedureWindow::Execute() {
  if (Setup() == SevNone) EventLoop();
  Teardown();
  return RESPONSE ? RESPONSE : std::uint8_t(RequestCancelled);
}

std::uint8_t ProcedureWindow::Setup() {
  ORIGINALREQUEST = REQUEST;
  if (!CL) CL = std::make_unique<std::vector<ComponentEntry>>();
  if (!BUTTONS) BUTTONS = std::make_unique<std::vector<ButtonEntry>>();
  PUSHBIND(true);
  scopeOpen_ = true;
  if (ThreadContext* tc = currentThreadContext())
    if (std::ranges::find(kStaleKeys, tc->lastKeyCode) != std::end(kStaleKeys)) tc->lastKeyCode = 0;
  INSERTACTION = ActionFinish;
  DELETEACTION = ActionFinish;
  CHANGEACTION = ActionFinish;
  CANCELACTION = CancelHandlesChanges | CancelAsksToSave;
  AUTOTOOLBAR = 1;
  AUTOREFRESH = 1;
  OWNERWINDOW = nullptr;
  return SevNone;
}

void ProcedureWindow::OpenWindow(window::Window& win, window::Window* owner) {
  MYWINDOW = &win;
  if (owner) OWNERWINDOW = owner;
  window::OpenWindowOp(win, OWNERWINDOW);
  OPENED = 1;
}

void ProcedureWindow::EventLoop() {
  if (DEAD) return;
  LASTINSERTEDPOSITION.clear();
  window::Accept([this] { window::EndEventPass(int(passOutcome(HandleEvent()))); });
}

std::uint8_t ProcedureWindow::HandleEvent() {
  const int field = window::EventField();
  if (field == 0)
    if (const std::uint8_t r = OnWindowEvent()) return r;
  std::uint8_t result = SevNone;
  switch (window::EventCode()) {
    case event::Sized: window::PostEvent(EventResizeNeeded); break;
    case event::Accepted: result = OnAccepted(); break;
    case event::Rejected: result = OnRejected(); break;
    case event::Selected: result = OnSelected(); break;
    case event::NewSelection: result = OnNewSelection(); break;
    case event::AlertKey: {
      const ThreadContext* tc = currentThreadContext();
      if (HISTORYKEY && tc && tc->lastKeyCode == std::uint32_t(HISTORYKEY)) RecallField();
      break;
    }
    default: break;
  }
  if (result) return result;
  if (field != 0)
    if (const std::uint8_t r = OnFieldEvent()) return r;
  if (CL) {
    for (const ComponentEntry& e : *CL)
      if (const std::uint8_t r = e.WC->TakeEvent()) return r;
    if (AUTOREFRESH) {
      const bool needed = std::ranges::any_of(*CL, [](const ComponentEntry& e) { return e.WC->RefreshRequired(); });
      if (needed) Refresh(false);
    }
  }
  return result;
}

std::uint8_t ProcedureWindow::OnWindowEvent() {
  switch (window::EventCode()) {
    case event::CloseWindow:
    case event::CloseDown: return OnCloseRequest();
    case event::OpenWindow: {
      std::uint8_t r = SevNone;
      if (!(INITED & FirstOpenDone)) r = FirstOpen();
      if (FIRSTFIELD) {
        window::SelectField(FIRSTFIELD);
        return SevNone;
      }
      return r;
    }
    case event::LoseFocus:
      if (RESETONGAINFOCUS) FORCEDRESET = 1;
      return SevNone;
    case event::GainFocus:
      if (!(INITED & FirstOpenDone)) return FirstOpen();
      Refresh(false);
      return SevNone;
    case event::Notify: {
      int code = 0, thread = 0;
      std::uintptr_t parameter = 0;
      return window::NotifyInfo(code, thread, parameter) ? OnNotify(code, thread, parameter) : std::uint8_t(SevNone);
    }
    case event::Completed: return OnCompleted();
    case event::Sized:
      // The first Sized event comes with the opening itself; only later ones change the layout.
      if (!(INITED & FirstSizedSeen)) {
        INITED |= FirstSizedSeen;
        return SevNone;
      }
      Refresh(false);
      return SevNone;
    default: return SevNone;
  }
}

std::uint8_t ProcedureWindow::FirstOpen() {
  if (TRANSLATOR && MYWINDOW) TRANSLATOR->TranslateWindow(*MYWINDOW);
  Refresh(false);
  INITED |= FirstOpenDone;
  return SevNone;
}

void ProcedureWindow::Refresh(bool force) {
  if (MYWINDOW && window::GetProperty(*MYWINDOW, 0, window::prop::AcceptAll).number() != 0) return;
  force = force || FORCEDRESET;
  FORCEDRESET = 0;
  if (CL) {
    for (const ComponentEntry& e : *CL) e.WC->Reset(force);
    for (const ComponentEntry& e : *CL) e.WC->RefreshDisplay();
  }
  window::DisplayFields();
}

std::uint8_t ProcedureWindow::OnAccepted() {
  const int field = window::AcceptedField();
  if (TOOLBAR) {
    TOOLBAR->TakeAccepted(field, VCRREQUEST);
    if (field == kToolbarHistoryButton) RecallField();
  }
  if (BUTTONS) {
    const auto it = std::ranges::find(*BUTTONS, field, &ButtonEntry::CONTROL);
    if (it != BUTTONS->end()) {
      Finish(it->ACTION);
      return SevInform;
    }
  }
  if (OKCONTROL && field == OKCONTROL) CompleteWindow();
  if (SAVECONTROL && field == SAVECONTROL) {
    if (REQUEST == ViewRecord) return SevInform;
    BEFORESAVEREQUEST = REQUEST;
    REQUEST = SaveAndGoOn;
    CompleteWindow();
  }
  EnableCancelButtons();
  return SevNone;
}

// Starts the completion of the window: forms check their fields first (the completion pass,
// which ends in Completed); other windows complete at once unless they work in batches.
void ProcedureWindow::CompleteWindow() {
  if (ORIGINALREQUEST == InsertRecord || ORIGINALREQUEST == ChangeRecord || ORIGINALREQUEST == ViewRecord) {
    if (ORIGINALREQUEST == ViewRecord && !BATCHPROCESSING) window::PostEvent(event::Completed);
    window::SelectField(0);
  } else if (!BATCHPROCESSING) {
    window::PostEvent(event::Completed);
  } else {
    window::SelectField(0);
  }
}

void ProcedureWindow::Finish(std::uint8_t response) {
  RESPONSE = response;
  PostClose();
  if (response == RequestCancelled && TOOLBAR && VCRREQUEST) *VCRREQUEST = 0;
}

std::uint8_t ProcedureWindow::OnRejected() {
  window::SelectField(window::EventField());
  return SevNone;
}

std::uint8_t ProcedureWindow::OnNewSelection() {
  const window::Control* c = MYWINDOW ? MYWINDOW->control(window::EventField()) : nullptr;
  if (c && window::Kind(c->kind) == window::Kind::Sheet) {
    Refresh(false);
    if (AUTOTOOLBAR && TOOLBAR) TOOLBAR->ChooseTarget(0);
  }
  return SevNone;
}

std::uint8_t ProcedureWindow::OnNotify(int, int, std::uintptr_t) { return SevNone; }

std::uint8_t ProcedureWindow::ExecuteChild(int, std::uint8_t) { return RequestCancelled; }

void ProcedureWindow::ArmAlertKeys() {
  if (CL)
    for (const ComponentEntry& e : *CL) e.WC->ArmAlertKeys();
  if (!HISTORY || !HISTORYKEY || !MYWINDOW) return;
  for (const HistoryEntry& h : *HISTORY) {
    window::Control* c = MYWINDOW->control(h.CONTROL);
    if (c && std::ranges::find(c->alertKeys, std::uint32_t(HISTORYKEY)) == c->alertKeys.end())
      c->alertKeys.push_back(std::uint32_t(HISTORYKEY));
  }
}

void ProcedureWindow::UpdateComponents() {
  if (CL)
    for (const ComponentEntry& e : *CL) e.WC->Update();
}

void ProcedureWindow::SetControlState(bool disable, int control) {
  if (control == 0 || !MYWINDOW) return;
  window::SetProperty(*MYWINDOW, control, window::prop::Disable, long(disable));
}

std::uint8_t ProcedureWindow::Teardown() {
  if (DEAD || !CL) return SevInform;
  while (!CL->empty()) {
    WindowComponent* c = CL->front().WC;
    CL->erase(CL->begin());
    c->Release();
  }
  CL.reset();
  BUTTONS.reset();
  HISTORY.reset();
  if (FILES) {
    for (const FileEntry& f : *FILES) f.FILE->RestoreState(f.SAVED);
    FILES.reset();
  }
  if (PRIMARY) PRIMARY->RestoreState(SAVED);
  if (TOOLBAR) TOOLBAR->Release();
  if (RESIZE) RESIZE->Detach();
  DEAD = 1;
  if (scopeOpen_) {
    POPBIND();
    scopeOpen_ = false;
  }
  return SevNone;
}

void ProcedureWindow::AddComponent(WindowComponent& component) {
  if (!CL) CL = std::make_unique<std::vector<ComponentEntry>>();
  CL->push_back({0, &component});
}

void ProcedureWindow::AddButtonAction(int control, std::uint8_t action) {
  if (!BUTTONS) BUTTONS = std::make_unique<std::vector<ButtonEntry>>();
  BUTTONS->push_back({control, action});
}

void ProcedureWindow::AttachResizer(WindowResizer& resizer) { RESIZE = &resizer; }

void ProcedureWindow::AttachToolbar(ToolbarRouter& router) {
  TOOLBAR = &router;
  router.ResetTargets();
}

void ProcedureWindow::AttachErrors(ErrorReporting& errors) { ERRORS = &errors; }

void ProcedureWindow::DisableCancelButtons() {
  if (!DISABLECANCELBUTTON || !BUTTONS) return;
  for (const ButtonEntry& b : *BUTTONS)
    if (b.ACTION == ActionFinish) SetControlState(true, b.CONTROL);
}

void ProcedureWindow::EnableCancelButtons() {
  if (!DISABLECANCELBUTTON || !BUTTONS) return;
  for (const ButtonEntry& b : *BUTTONS)
    if (b.ACTION == ActionFinish) SetControlState(false, b.CONTROL);
}

void ProcedureWindow::PostClose() { window::PostEvent(event::CloseWindow); }

int ProcedureWindow::FocusedField() const { return window::FocusField(); }

}  // namespace tamsil::framework
