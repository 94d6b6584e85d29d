// What regsvr32 calls: DllRegisterServer writes the class's key under
// HKCR\CLSID, its InprocServer32 naming this module where it lies, and
// DllUnregisterServer removes that key whole. A 32-bit module in a 64-bit
// Windows writes the 32-bit view of the registry, where the 32-bit COM
// looks for it.
#include <olectl.h>

#include <string>

#include "Componente.h"

namespace {

constexpr const wchar_t* ChiaveClasse = L"CLSID\\" NOCE_CLSID;

// The module's full path, however long.
std::wstring PercorsoModulo() {
    std::wstring percorso(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(noce::componente::Modulo(), percorso.data(),
                                     static_cast<DWORD>(percorso.size()));
        if (n == 0) return {};
        if (n < percorso.size()) {
            percorso.resize(n);
            return percorso;
        }
        percorso.resize(percorso.size() * 2);
    }
}

bool ScriviValore(HKEY chiave, const wchar_t* nome, const std::wstring& valore) {
    auto byte = static_cast<DWORD>((valore.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(chiave, nome, 0, REG_SZ, reinterpret_cast<const BYTE*>(valore.c_str()), byte) ==
           ERROR_SUCCESS;
}

// Creates (or opens) HKCR\sottochiave and sets its values; false when any
// step fails.
bool ScriviChiave(const std::wstring& sottochiave,
                  std::initializer_list<std::pair<const wchar_t*, std::wstring>> valori) {
    HKEY chiave = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, sottochiave.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &chiave, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    bool scritta = true;
    for (const auto& [nome, valore] : valori) scritta = scritta && ScriviValore(chiave, nome, valore);
    RegCloseKey(chiave);
    return scritta;
}

LSTATUS RimuoviChiave() { return RegDeleteTreeW(HKEY_CLASSES_ROOT, ChiaveClasse); }

}  // namespace

extern "C" {

STDAPI DllRegisterServer() {
    std::wstring modulo = PercorsoModulo();
    if (modulo.empty()) return SELFREG_E_CLASS;
    std::wstring classe = ChiaveClasse;
    bool scritta = ScriviChiave(classe, {{nullptr, L"NOCE " NOCE_COMPONENTE}}) &&
                   ScriviChiave(classe + L"\\InprocServer32", {{nullptr, modulo}, {L"ThreadingModel", L"Apartment"}});
    if (!scritta) {
        // Half a registration would point COM at a class it cannot load.
        RimuoviChiave();
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    LSTATUS esito = RimuoviChiave();
    if (esito == ERROR_SUCCESS || esito == ERROR_FILE_NOT_FOUND) return S_OK;
    return SELFREG_E_CLASS;
}

}
