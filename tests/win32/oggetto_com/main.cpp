// oggetto-com.exe {CLSID}: makes an object of the class through COM, as a
// program using a component does (the registry's InprocServer32, the
// module's DllGetClassObject, its factory), and asks the object which class
// it is. Prints "ok" and exits 0 when the object names the class asked for;
// otherwise prints what failed, with COM's code, and exits 1.
#include <objbase.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: oggetto-com.exe {CLSID}\n");
        return 2;
    }
    CLSID classe{};
    if (FAILED(CLSIDFromString(argv[1], &classe))) {
        std::fprintf(stderr, "not a CLSID: %ls\n", argv[1]);
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    IPersist* oggetto = nullptr;
    HRESULT esito = CoCreateInstance(classe, nullptr, CLSCTX_INPROC_SERVER, IID_IPersist,
                                     reinterpret_cast<void**>(&oggetto));
    int uscita = 1;
    if (FAILED(esito)) {
        std::printf("CoCreateInstance failed: 0x%08lx\n", static_cast<unsigned long>(esito));
    } else {
        CLSID detta{};
        esito = oggetto->GetClassID(&detta);
        if (FAILED(esito)) {
            std::printf("GetClassID failed: 0x%08lx\n", static_cast<unsigned long>(esito));
        } else if (!IsEqualCLSID(detta, classe)) {
            std::printf("the object names another class\n");
        } else {
            std::printf("ok\n");
            uscita = 0;
        }
        oggetto->Release();
    }
    // The module goes only when it says nothing holds it.
    CoFreeUnusedLibraries();
    CoUninitialize();
    return uscita;
}
