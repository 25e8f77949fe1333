// A build without the grid's view: the grid runs without a picture of itself.
#include "app/spread_view_hook.h"

namespace kestrel {

void InstallSpreadView() {}

}  // namespace kestrel
