// On the Qt backend the grid prints on the platform's printers, and the demo window's grid shows its
// own view: once the sample sheet is filled, the view of the grid's book goes into the OLE
// control's window. The view holds a reference to
// the grid, so the book it draws outlives the wrapper's release of the grid in Teardown; the view
// goes with the control's window.
#include <memory>

#include "app/demo_window.h"
#include "app/grid_faces.h"
#include "components/spread/print/qt_printing.h"
#include "components/spread/registration.h"
#include "components/spread/spread_control.h"
#include "components/spread/view/window_view.h"
#include "platform/backend.h"
#include "platform/com/com_ptr.h"
#include "platform/com/storage.h"
#include "runtime/ole/ole_site.h"
#include "runtime/window/window_object.h"

namespace kestrel {

namespace {

// The view and the reference that keeps its grid alive, released together.
struct HeldView {
  HeldView(platform::ComPtr<platform::IDispatch> g, spread::Book& book) : grid(std::move(g)), view(book) {}
  platform::ComPtr<platform::IDispatch> grid;
  spread::view::SpreadWindowView view;
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
  auto held = std::make_shared<HeldView>(platform::ComPtr<platform::IDispatch>(static_cast<platform::IDispatch*>(grid)), grid->book());
  tamsil::ole::SetOleView(field, std::shared_ptr<platform::WindowView>(held, &held->view));
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
