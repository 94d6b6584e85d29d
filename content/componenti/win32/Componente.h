// A demo component as Windows loads it: an in-process COM server with one
// class. The build names the component (NOCE_COMPONENTE, its file name)
// and its class (NOCE_CLSID, "{...}"); each built module is one component.
#pragma once

#include <windows.h>

namespace noce::componente {

// The module's own handle, from DllMain: the path the registration writes.
HINSTANCE Modulo();

// The class this module serves.
const CLSID& Classe();

// Live objects and IClassFactory::LockServer locks: the module may go only
// when both are zero.
void Trattieni();
void Rilascia();
bool InUso();

}  // namespace noce::componente
