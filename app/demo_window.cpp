#include "app/demo_window.h"

#include "app/app_module.h"
#include "app/program_errors.h"
#include "app/sample_sheet.h"
#include "framework/ini/ini_store.h"
#include "framework/window/framework_codes.h"
#include "platform/dialogs/dialogs.h"
#include "runtime/ole/ole_site.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/message_box.h"
#include "runtime/window/operations.h"
#include "runtime/window/window_object.h"

namespace kestrel {

namespace fw = tamsil::framework;
namespace win = tamsil::window;

namespace {

SpreadViewAttacher gSpreadViewAttacher = nullptr;

constexpr std::string_view kMainSection = "Main";
// The Close button finishes the window (the framework's button action).
constexpr std::uint8_t kCloseButtonAction = fw::ActionFinish;
// The grid keeps its place and takes the window's growth (resizer codes).
constexpr std::uint16_t kSpreadPositional = 0x0101, kSpreadResize = 0;

struct FileQuestion {
  std::string_view title, filter;
};
constexpr FileQuestion kExcelQuestion{"Select Excel file", "Excel|*.xls"};
constexpr FileQuestion kImageQuestion{"Insert Image in the cell", "All Files|*.*"};

// Blank-padded to the field's size. A longer name is kept whole: cut to the field it would name
// another file (or none), and the grid would be sent the wrong one.
std::string padded(std::string_view text, std::size_t size) {
  std::string out(text);
  if (out.size() < size) out.resize(size, ' ');
  return out;
}

std::string_view clipped(const std::string& text) {
  const auto end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string_view() : std::string_view(text).substr(0, end + 1);
}

// Asks for a file into `target` (blank-padded to its size); false when the dialog was cancelled.
bool askForFile(win::Window& window, const FileQuestion& question, std::string& target, std::size_t size) {
  platform::FileDialogRequest request;
  request.owner = window.handle;
  request.title = question.title;
  request.filter = question.filter;
  request.initialFile = std::string(clipped(target));
  request.flags = platform::OFN_EXPLORER;
  const auto chosen = platform::FileDialog(request);
  if (!chosen || chosen->empty()) return false;
  target = padded(*chosen, size);
  return true;
}

}  // namespace

std::string UnableToOpenText(std::string_view file) { return "Unable to open " + std::string(file) + " file!"; }

int SpreadControlEvent() { return 1; }

void SetSpreadViewAttacher(SpreadViewAttacher attacher) { gSpreadViewAttacher = attacher; }

void DemoResizer::Init(std::uint8_t strategy, std::uint8_t fixMinimum, std::uint8_t fixMaximum) {
  Attach(strategy, fixMinimum != 0, fixMaximum != 0);
  AssignParents();
  SetStrategy(FieldSpread, kSpreadPositional, kSpreadResize);
}

std::uint8_t DemoWindow::Setup() {
  programErrors().TrackProcedure(kMainSection);
  ThreadGlobals& globals = threadGlobals();
  REQUEST = globals.GlobalRequest;
  if (const std::uint8_t r = ProcedureWindow::Setup()) return r;
  FIRSTFIELD = FieldClose;
  VCRREQUEST = &globals.GlobalVcrRequest;
  ERRORS = &programErrors();
  AttachToolbar(state_.Toolbar);
  globals.GlobalRequest = 0;
  globals.GlobalResponse = 0;
  AddButtonAction(FieldClose, kCloseButtonAction);
  win::Window& window = *state_.window;
  OpenWindow(window);
  state_.Spread.Init(window, FieldSpread);
  FillSampleSheet(state_.Spread);
  if (gSpreadViewAttacher) gSpreadViewAttacher(window, FieldSpread);
  tamsil::ole::RegisterOleEventCallback(FieldSpread, [](platform::DISPPARAMS*, int) { SpreadControlEvent(); });
  state_.Resizer->Init(1, 0, 0);
  AttachResizer(*state_.Resizer);
  programIniStore().RestoreWindow(kMainSection, window);
  state_.Resizer->OnResizeEvent();
  ArmAlertKeys();
  state_.Navigator.Arm(window, 0);
  return fw::SevNone;
}

std::uint8_t DemoWindow::Teardown() {
  state_.Spread.Kill();
  if (const std::uint8_t r = ProcedureWindow::Teardown()) return r;
  savePlace();
  programErrors().TrackProcedure({});
  if (state_.window->handle) win::CloseWindowOp(*state_.window);
  return fw::SevNone;
}

std::uint8_t DemoWindow::OnAccepted() {
  const std::uint8_t result = ProcedureWindow::OnAccepted();
  switch (win::AcceptedField()) {
    case FieldPrint: Print(); break;
    case FieldLoadExcelBook: LoadExcelBook(); break;
    case FieldClear:
      UpdateComponents();
      state_.Spread.Reset();
      break;
    case FieldInsertImage: InsertImage(); break;
    default: break;
  }
  return result;
}

void DemoWindow::Print() {
  UpdateComponents();
  wrapper::SpreadWrapper& s = state_.Spread;
  s.PrintType(0);
  s.PrintAbortMsg(kPrintAbortMessage);
  s.PrintJobName(kPrintJobName);
  s.PrintHeader(kPrintHeader);
  s.PrintFooter(kPrintFooter);
  s.PrintSheet(0);
}

void DemoWindow::LoadExcelBook() {
  UpdateComponents();
  wrapper::SpreadWrapper& s = state_.Spread;
  if (askForFile(*state_.window, kExcelQuestion, state_.ExcelFileName, DemoProcedureState::kExcelFileNameSize)) {
    const std::string file(clipped(state_.ExcelFileName));
    if (s.IsExcelFile(file)) {
      s.ImportExcelBook(file, kImportLog);
    } else {
      win::RuntimeMessageBox({.text = UnableToOpenText(file), .caption = ""});
    }
  }
  s.VisibleCols(8);
  s.VisibleRows(25);
  s.AutoSize(1);
}

void DemoWindow::InsertImage() {
  UpdateComponents();
  wrapper::SpreadWrapper& s = state_.Spread;
  if (!askForFile(*state_.window, kImageQuestion, state_.ImageFileName, DemoProcedureState::kImageFileNameSize)) return;
  s.Row(s.ActiveRow());
  s.Col(s.ActiveCol());
  s.NewCellPicture(clipped(state_.ImageFileName));
}

std::uint8_t DemoWindow::HandleEvent() {
  if (state_.Navigator.TakeEvent()) return fw::SevInform;
  return ProcedureWindow::HandleEvent();
}

// The runtime closes the window as soon as a close event passes, before Teardown runs; an
// accepted close is therefore the last moment the window's place can be read, and it is saved
// there (Teardown saves it when the window is still open, as after a refused start).
std::uint8_t DemoWindow::OnWindowEvent() {
  const int code = win::EventCode();
  if (code == fw::EventResizeNeeded) state_.Spread.Refresh();
  const std::uint8_t result = ProcedureWindow::OnWindowEvent();
  if (result == fw::SevNone && (code == win::event::CloseWindow || code == win::event::CloseDown)) savePlace();
  return result;
}

void DemoWindow::savePlace() {
  if (OPENED && state_.window->handle) programIniStore().SaveWindow(kMainSection, *state_.window);
}

void MainWindowProcedure() {
  DemoProcedureState state;
  state.ExcelFileName = padded({}, DemoProcedureState::kExcelFileNameSize);
  state.Navigator.Init();
  state.window = std::make_unique<win::Window>(std::string(kDemoModule), std::string(kDemoWindowLabel));
  auto window = std::make_unique<DemoWindow>(state);
  state.Resizer = std::make_unique<DemoResizer>(*state.window);
  state.ImageFileName = padded({}, DemoProcedureState::kImageFileNameSize);
  threadGlobals().GlobalResponse = window->Execute();
  window.reset();
  state.Resizer.reset();
  state.window.reset();
  state.Navigator.Kill();
}

}  // namespace kestrel
