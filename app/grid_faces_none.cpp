// A build without the grid's Qt parts: nothing to install.
#include "app/grid_faces.h"

namespace kestrel {

void InstallGridFaces() {}

}  // namespace kestrel
