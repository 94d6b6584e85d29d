// The component's class and its class factory, and the two entry points COM
// calls: DllGetClassObject hands out the factory, DllCanUnloadNow tells
// whether anything still holds the module. The object answers IUnknown and
// IPersist, whose GetClassID names the class it was made from.
#include <objbase.h>

#include <new>

#include "Componente.h"

namespace noce::componente {

namespace {

HINSTANCE modulo = nullptr;
LONG trattenuto = 0;

class Oggetto final : public IPersist {
public:
    Oggetto() { Trattieni(); }
    ~Oggetto() { Rilascia(); }
    Oggetto(const Oggetto&) = delete;
    Oggetto& operator=(const Oggetto&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** uscita) override {
        if (uscita == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist)) {
            *uscita = static_cast<IPersist*>(this);
            AddRef();
            return S_OK;
        }
        *uscita = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&riferimenti_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = InterlockedDecrement(&riferimenti_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classe) override {
        if (classe == nullptr) return E_POINTER;
        *classe = Classe();
        return S_OK;
    }

private:
    LONG riferimenti_ = 1;
};

// One factory for the module's life: its references do not keep the module,
// LockServer does, as COM expects.
class Fabbrica final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** uscita) override {
        if (uscita == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *uscita = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *uscita = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* esterno, REFIID iid, void** uscita) override {
        if (uscita == nullptr) return E_POINTER;
        *uscita = nullptr;
        if (esterno != nullptr) return CLASS_E_NOAGGREGATION;
        auto* oggetto = new (std::nothrow) Oggetto;
        if (oggetto == nullptr) return E_OUTOFMEMORY;
        HRESULT esito = oggetto->QueryInterface(iid, uscita);
        oggetto->Release();
        return esito;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL blocca) override {
        if (blocca) {
            Trattieni();
        } else {
            Rilascia();
        }
        return S_OK;
    }
};

Fabbrica fabbrica;

}  // namespace

HINSTANCE Modulo() { return modulo; }

const CLSID& Classe() {
    static const CLSID classe = [] {
        CLSID c{};
        CLSIDFromString(const_cast<LPOLESTR>(L"" NOCE_CLSID), &c);
        return c;
    }();
    return classe;
}

void Trattieni() { InterlockedIncrement(&trattenuto); }
void Rilascia() { InterlockedDecrement(&trattenuto); }
bool InUso() { return InterlockedCompareExchange(&trattenuto, 0, 0) != 0; }

}  // namespace noce::componente

using namespace noce::componente;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE istanza, DWORD motivo, LPVOID) {
    if (motivo == DLL_PROCESS_ATTACH) {
        noce::componente::modulo = istanza;
        DisableThreadLibraryCalls(istanza);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classe, REFIID iid, void** uscita) {
    if (uscita == nullptr) return E_POINTER;
    *uscita = nullptr;
    if (!IsEqualCLSID(classe, Classe())) return CLASS_E_CLASSNOTAVAILABLE;
    return fabbrica.QueryInterface(iid, uscita);
}

STDAPI DllCanUnloadNow() { return InUso() ? S_FALSE : S_OK; }

}
