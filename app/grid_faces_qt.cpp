// On the Qt backend the grid prints on the platform's printers (Print Setup chooses the printer it
// prints on), and the demo window's grid shows its own view: once the sample sheet is filled, the
// view of the grid's book goes into the OLE control's window. The view holds a reference to
// the grid, so the book it draws outlives the wrapper's release of the grid in Teardown; the view
// goes with the control's window.
#include <memory>

#include "app/demo_window.h"
#include "app/grid_faces.h"
#include "components/spread/clipboard/qt/qt_clipboard.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/print/qt/qt_printing.h"
#include "components/spread/registration.h"
#include "components/spread/spread_control.h"
#include "components/spread/view/window_view.h"
#include "platform/backend.h"
#include "platform/com/com_ptr.h"
#include "platform/com/storage.h"
#include "platform/messages.h"
#include "runtime/ole/ole_site.h"
#include "runtime/window/window_object.h"

namespace kestrel {

namespace {

// The grid's view in the control's window, holding the reference that keeps its grid alive. The
// Edit menu's Cut, Copy and Paste send the focused control the platform's clipboard commands;
// with the grid focused they act on its selection through the platform clipboard.
class HeldView final : public platform::qt::QtWindowView {
 public:
  HeldView(platform::ComPtr<platform::IDispatch> grid, spread::Book& book) : grid_(std::move(grid)), book_(book), view_(book) {}
  QWidget* create(QWidget* parent) override { return view_.create(parent); }
  void placed(QWidget* widget) override { view_.placed(widget); }
  void released(QWidget* widget) override { view_.released(widget); }
  std::optional<platform::LRESULT> message(platform::HWND hwnd, platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam) override {
    switch (msg) {
      case platform::WM_CUT: spread::print::CutSelection(book_); break;
      case platform::WM_COPY: spread::print::CopySelection(book_); break;
      case platform::WM_PASTE: spread::print::PasteClipboard(book_); break;
      default: return view_.message(hwnd, msg, wParam, lParam);
    }
    if (spread::view::SpreadView* shown = view_.view()) shown->refresh();
    return 0;
  }

 private:
  platform::ComPtr<platform::IDispatch> grid_;
  spread::Book& book_;
  spread::view::SpreadWindowView view_;
};

// The grid object in the control, when the control holds this program's grid (its class says so).
spread::SpreadControl* gridIn(platform::IDispatch* object) {
  if (!object) return nullptr;
  platform::IPersistStorage* persist = nullptr;
  if (object->QueryInterface(platform::IID_IPersistStorage, reinterpret_cast<void**>(&persist)) != platform::S_OK || !persist) return nullptr;
  platform::CLSID clsid{};
  const bool ours = persist->GetClassID(&clsid) == platform::S_OK && clsid == spread::kSpreadClsid;
  persist->Release();
  return ours ? static_cast<spread::SpreadControl*>(object) : nullptr;
}

void attachView(tamsil::window::Window& window, int field) {
  tamsil::window::Control* control = window.control(field);
  auto* site = control ? dynamic_cast<tamsil::ole::OleSite*>(control->automation.get()) : nullptr;
  spread::SpreadControl* grid = site ? gridIn(site->dispatch()) : nullptr;
  if (!grid) return;
  tamsil::ole::SetOleView(
      field, std::make_shared<HeldView>(platform::ComPtr<platform::IDispatch>(static_cast<platform::IDispatch*>(grid)), grid->book()));
}

}  // namespace

// Only the Qt backend has a QApplication for the view and the printers; on the headless backend
// the grid keeps printing to PDF files and shows nothing.
void InstallGridFaces() {
  if (platform::backend().name() != "qt") return;
  spread::print::InstallQtPrinting();
  SetSpreadViewAttacher(attachView);
}

}  // namespace kestrel
