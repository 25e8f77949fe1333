// The sample automation class of `tamsil ole` ("Tamsil.Sample.1"): a bag of properties that any
// name reads and writes, "Cells(ROW,COL)" giving a bag of its own for each cell, "Fail" raising
// an exception, and "Count" the number of properties set; it saves its properties into a storage
// and loads them back. It lets the command be tried (and tested) without any other component
// installed.
#pragma once

namespace tamsil::tool {

inline constexpr const char* kSampleProgId = "Tamsil.Sample.1";

// Registers the class for this process (once).
void registerSampleClass();

}  // namespace tamsil::tool
