// Kestrel24: the process entry. Picks the platform's backend, makes the grid component known to
// the component registry (as an installed control would be) and lets the runtime run the program's
// module table and its main procedure.
#include "app/app_module.h"
#include "app/grid_faces.h"
#include "app/program_main.h"
#include "components/spread/registration.h"
#include "platform/startup/startup.h"
#include "runtime/ole/ole_site.h"

int main(int argc, char** argv) {
  if (!platform::startPlatform(argc, argv, "Kestrel24")) return 2;
  spread::RegisterSpreadComponent();
  tamsil::ole::InstallOleContainer();
  kestrel::InstallGridFaces();
  static const tamsil::ModuleRecord kModules[] = {kestrel::applicationModuleRecord()};
  tamsil::ProcessEntry(tamsil::ModuleDescriptor{kModules, kestrel::kProgramVersion, "Kestrel24"}, kestrel::ProgramMain);
}
