// The demo's one window: the grid filled with the sample sheet, a menu that prints the sheet,
// loads an Excel workbook into it, clears it and puts a picture into the current cell, and a Close
// button. MainWindowProcedure owns the window's companions (wrapper, navigator, toolbar router,
// resizer, file names) for the life of the window; DemoWindow drives the window through the
// framework's ProcedureWindow and reaches them through a reference.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/key_navigator.h"
#include "framework/window/procedure_window.h"
#include "framework/window/toolbar_router.h"
#include "framework/window/window_resizer.h"
#include "wrapper/spread_wrapper.h"

namespace kestrel {

// The window's stored definition and its controls' field numbers.
inline constexpr std::string_view kDemoModule = "Kestrel24$Kestr001", kDemoWindowLabel = "P1$WINDOW";
enum DemoField : int {
  FieldPrint = 3,
  FieldSave = 5,
  FieldExport = 6,
  FieldLoadExcelBook = 7,
  FieldExit = 8,
  FieldClear = 10,
  FieldInsertImage = 15,
  FieldSpread = 20,
  FieldClose = 21,
};

// The resizer of the demo window: the grid keeps its place and grows with the window.
class DemoResizer : public tamsil::framework::WindowResizer {
 public:
  using WindowResizer::WindowResizer;
  void Init(std::uint8_t strategy, std::uint8_t fixMinimum, std::uint8_t fixMaximum);
};

// MainWindowProcedure's local state, shared with the window object's operations.
struct DemoProcedureState {
  static constexpr std::size_t kExcelFileNameSize = 128, kImageFileNameSize = 100;

  wrapper::SpreadWrapper Spread;
  KeyNavigator Navigator;
  tamsil::framework::ToolbarRouter Toolbar;
  std::unique_ptr<DemoResizer> Resizer;
  std::string ExcelFileName;                       // blank-padded to kExcelFileNameSize
  std::string ImageFileName;                       // blank-padded to kImageFileNameSize
  std::unique_ptr<tamsil::window::Window> window;  // the loaded window definition
};

class DemoWindow : public tamsil::framework::ProcedureWindow {
 public:
  explicit DemoWindow(DemoProcedureState& state) : state_(state) {}

  std::uint8_t Setup() override;
  std::uint8_t Teardown() override;
  std::uint8_t OnAccepted() override;
  std::uint8_t HandleEvent() override;
  std::uint8_t OnWindowEvent() override;

 private:
  void Print();
  void LoadExcelBook();
  void InsertImage();
  void savePlace();

  DemoProcedureState& state_;
};

// Texts the window shows and sends.
inline constexpr std::string_view kPrintAbortMessage = "Printing - Click Cancel to quit";
inline constexpr std::string_view kPrintJobName = "Ostrevane Spread Control DEMO";
inline constexpr std::string_view kPrintHeader = "/fb1H E A D E R/fb0";
inline constexpr std::string_view kPrintFooter = "/fb1F O O T E R/fb0";
inline constexpr std::string_view kImportLog = "err2.log";

// The message shown for a file the grid does not take as an Excel file.
std::string UnableToOpenText(std::string_view file);

// Called by the runtime for every event the grid raises; answers 1 and does nothing else.
int SpreadControlEvent();

// Shows the grid's own view in OLE control `field` of the open window once the grid is attached.
// The program installs one when its backend can show the grid; without one the grid has no view.
using SpreadViewAttacher = void (*)(tamsil::window::Window& window, int field);
void SetSpreadViewAttacher(SpreadViewAttacher attacher);

// Builds the window's companions, runs the window and stores its response in GlobalResponse.
void MainWindowProcedure();

}  // namespace kestrel
