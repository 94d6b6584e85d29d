#pragma once
// What the registry's parts share: the notation of values in an export,
// the registry held in memory while it is read or changed, and the file
// with its lock.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../Errori.h"
#include "Registro.h"

namespace noce::posix::registro {

std::string Minuscolo(const std::string& s);
bool UgualeSenzaCaso(const std::string& a, const std::string& b);

// ---- Values in the export's notation (RegistroValori.cpp) ----------------

std::string NomeTipo(int numero);
std::optional<int> NumeroTipo(const std::string& nome);
ErroreRuntime DatiNonValidi(const ValoreRegistro& v);
// The right-hand side of `"name"=...` for a value; throws for data its type
// cannot hold.
std::string FormaFile(const ValoreRegistro& v);
// The value a right-hand side stands for; nullopt when it is not valid.
std::optional<ValoreRegistro> DaFormaFile(const std::string& nome, const std::string& rhs);
// A whole value line, CR LF included.
std::string RigaValore(const ValoreRegistro& v);

// ---- The registry in memory (RegistroEsportazione.cpp) -------------------

class Registro {
public:
    static Registro DaTesto(const std::string& testo);
    ChiaveRegistro* Trova(const std::string& nome);
    // The key, created with every missing ancestor, as the registry has no
    // key without its parents.
    ChiaveRegistro& Crea(const std::string& nome);
    bool Elimina(const std::string& nome);
    std::vector<std::string> Sottochiavi(const std::string& nome);
    // The keys in export order.
    std::vector<ChiaveRegistro> Ordinate() const;

private:
    std::vector<ChiaveRegistro> chiavi_;
    std::map<std::string, std::size_t> indice_;
};

// Sets a value in a key, replacing one of the same name.
void ImpostaIn(ChiaveRegistro& c, const ValoreRegistro& v);

// ---- The file and its lock (RegistroFile.cpp) -----------------------------

// The host path of the machine's registry file.
std::string File();
Registro Carica(const std::string& host);
// Read, change and replace under the lock; `cambia` returns whether it
// changed anything, and an unchanged registry is not rewritten. Changes
// below HKEY_LOCAL_MACHINE need administrator rights.
bool Modifica(const std::string& chiave, const std::function<bool(Registro&)>& cambia);

}  // namespace noce::posix::registro
