// A self-registering component of the demo product: the two entry points
// that regsvr32 calls. NOCE_COMPONENTE names the component being built.
#include <cstdio>

extern "C" {

__attribute__((visibility("default"))) long DllRegisterServer() {
    std::printf("%s registrato\n", NOCE_COMPONENTE);
    return 0;
}

__attribute__((visibility("default"))) long DllUnregisterServer() {
    std::printf("%s rimosso\n", NOCE_COMPONENTE);
    return 0;
}

}
