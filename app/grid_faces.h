// What the grid shows of itself on backends that can: its view in the demo window and its printing
// on the platform's printers (the Qt backend). On another backend, or in a build without them, it
// installs nothing: the grid runs without a picture of itself and prints to PDF files.
#pragma once

namespace kestrel {

void InstallGridFaces();

}  // namespace kestrel
