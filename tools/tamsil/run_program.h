// Subcommands that open windows run as a program of their own: the platform started (backend,
// script), the runtime started with one empty module, the procedure run as the main procedure,
// and the process ended through the runtime's halt. Returns 2 only when the platform could not
// start; otherwise it does not return.
#pragma once

namespace tamsil::tool {

int runAsProgram(void (*programMain)());

}  // namespace tamsil::tool
