// The workbook libraries (FreeXL, libxml2, libxlsxwriter; libgsf through the component model) are
// loaded on first use, not at program start: most runs of a program with a grid never read or
// write a workbook (platform/system/lazy_library.h says what a library loaded at start costs).
// workbook_libraries.cpp defines the few functions of theirs the grid calls.
#pragma once

namespace spread::files {

// Loads FreeXL now; ReadXls calls it before it forks, so the reading child never runs the loader.
// False when the library cannot be loaded (its functions then answer their failures).
bool LoadXlsLibrary();

}  // namespace spread::files
