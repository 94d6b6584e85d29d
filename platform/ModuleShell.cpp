#include "ModuleShell.h"

#include "Sistema.h"

namespace noce {

void EseguiAttendi(const std::string& riga) {
    // Neither the start nor the exit code is examined: the callers see a
    // failed registration or extraction only in their later steps.
    sistema::AvviaEAttendi(riga);
}

}  // namespace noce
