// Gives the demo window's grid a view on backends that can show one (the Qt backend); a build
// without the grid's view installs nothing.
#pragma once

namespace kestrel {

void InstallSpreadView();

}  // namespace kestrel
