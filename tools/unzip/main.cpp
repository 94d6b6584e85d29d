// unzip.exe [-o|-n] [-q] ARCHIVE [NAME...] [-d FOLDER]
//
// Unpacks a zip archive into FOLDER (Windows paths), creating sub-folders
// and, with -o, replacing files already there. An entry that cannot be
// unpacked is reported and the others go on; the exit status tells the
// worst that happened, with Info-ZIP's numbers.
#include <fnmatch.h>
#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "Cartelle.h"
#include "CodiciUscita.h"
#include "Estrazione.h"
#include "Interruzione.h"
#include "NomeVoce.h"
#include "Opzioni.h"
#include "platform/PercorsiHost.h"

namespace {

using namespace estrattore;

struct Archivio {
    zip_t* z = nullptr;
    ~Archivio() {
        if (z) zip_discard(z);
    }
};

bool Esiste(const std::string& host) {
    struct stat st {};
    return ::stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The archive as Info-ZIP finds it: the name as given, else with ".zip".
std::string TrovaArchivio(const std::string& windows) {
    std::string host = noce::sistema::PercorsoHost(windows);
    if (Esiste(host)) return host;
    std::string conZip = noce::sistema::PercorsoHost(windows + ".zip");
    return Esiste(conZip) ? conZip : std::string();
}

bool Richiesto(const Opzioni& o, const std::string& nome) {
    if (o.nomi.empty()) return true;
    std::string normale = nome;
    std::replace(normale.begin(), normale.end(), '\\', '/');
    for (const auto& modello : o.nomi)
        if (fnmatch(modello.c_str(), normale.c_str(), 0) == 0) return true;
    return false;
}

int Modo(zip_t* z, zip_uint64_t i, bool& collegamento) {
    zip_uint8_t sistema = 0;
    zip_uint32_t attributi = 0;
    collegamento = false;
    if (zip_file_get_external_attributes(z, i, 0, &sistema, &attributi) != 0 || sistema != ZIP_OPSYS_UNIX) return -1;
    auto modo = static_cast<mode_t>(attributi >> 16);
    collegamento = S_ISLNK(modo);
    // Permission bits only: no set-user-ID from an archive.
    return modo & 0777 ? static_cast<int>(modo & 0777) : -1;
}

int Estrai(const Opzioni& o) {
    std::string percorso = TrovaArchivio(o.archivio);
    if (percorso.empty()) {
        std::fprintf(stderr, "unzip: impossibile trovare o aprire %s\n", o.archivio.c_str());
        return ArchivioNonTrovato;
    }
    int errore = 0;
    Archivio a;
    a.z = zip_open(percorso.c_str(), ZIP_RDONLY, &errore);
    if (!a.z) {
        zip_error_t e;
        zip_error_init_with_code(&e, errore);
        std::fprintf(stderr, "unzip: %s: %s\n", o.archivio.c_str(), zip_error_strerror(&e));
        zip_error_fini(&e);
        if (errore == ZIP_ER_MEMORY) return MemoriaEsaurita;
        if (errore == ZIP_ER_INCONS) return ErroreGrave;
        return ArchivioNonTrovato;
    }
    if (o.silenzio == 0) std::printf("Archive:  %s\n", o.archivio.c_str());

    Cartelle cartelle(noce::sistema::PercorsoHost(o.cartella));
    std::vector<char> buffer(256 * 1024);
    int esito = Ok;
    bool trovato = false;
    auto avverti = [&](int codice) { esito = std::max(esito, codice); };

    zip_int64_t voci = zip_get_num_entries(a.z, 0);
    for (zip_int64_t k = 0; k < voci; ++k) {
        Voce v;
        v.indice = static_cast<zip_uint64_t>(k);
        if (zip_stat_index(a.z, v.indice, 0, &v.stat) != 0 || !(v.stat.valid & ZIP_STAT_NAME)) {
            std::fprintf(stderr, "unzip: voce %lld illeggibile: %s\n", static_cast<long long>(k),
                         zip_strerror(a.z));
            avverti(ErroreArchivio);
            continue;
        }
        std::string nome = v.stat.name;
        if (!Richiesto(o, nome)) continue;
        trovato = true;
        NomeVoce n = LeggiNomeVoce(nome);
        if (!n.rifiuto.empty()) {
            std::fprintf(stderr, "unzip: %s: rifiutato, %s\n", nome.c_str(), n.rifiuto.c_str());
            avverti(Avvertimenti);
            continue;
        }
        if (n.parti.empty()) continue;
        bool collegamento = false;
        v.modo = Modo(a.z, v.indice, collegamento);
        if (collegamento) {
            std::fprintf(stderr, "unzip: %s: saltato, è un collegamento simbolico\n", nome.c_str());
            avverti(Avvertimenti);
            continue;
        }
        std::string mostrato = o.cartella;
        for (const auto& p : n.parti) mostrato += "\\" + p;
        try {
            if (n.cartella) {
                cartelle.Cartella(n.parti, n.parti.size());
                if (o.silenzio == 0) std::printf("   creating: %s\\\n", mostrato.c_str());
                continue;
            }
            std::string cartella = cartelle.Cartella(n.parti, n.parti.size() - 1);
            std::string nomeHost = cartelle.Nome(cartella, n.parti.back());
            std::string finale = cartella + "/" + nomeHost;
            struct stat st {};
            bool presente = ::lstat(finale.c_str(), &st) == 0;
            if (presente && S_ISDIR(st.st_mode)) {
                std::fprintf(stderr, "unzip: %s: c'è una cartella con lo stesso nome\n", mostrato.c_str());
                avverti(ErroreArchivio);
                continue;
            }
            if (presente && o.sostituzione == Opzioni::Sostituzione::Mai) {
                if (o.silenzio == 0) std::printf("   esistente: %s (non sostituito)\n", mostrato.c_str());
                continue;
            }
            if (o.silenzio == 0)
                std::printf("%s %s\n", v.stat.comp_method == ZIP_CM_STORE ? " extracting:" : "  inflating:",
                            mostrato.c_str());
            EsitoVoce r = EstraiFile(a.z, v, cartella, finale, buffer);
            switch (r.tipo) {
                case EsitoVoce::Tipo::Fatto:
                    cartelle.Aggiunto(cartella, nomeHost);
                    break;
                case EsitoVoce::Tipo::Saltato:
                    std::fprintf(stderr, "unzip: %s: saltato, %s\n", nome.c_str(), r.messaggio.c_str());
                    avverti(Avvertimenti);
                    break;
                case EsitoVoce::Tipo::Errore:
                    std::fprintf(stderr, "unzip: %s: %s\n", nome.c_str(), r.messaggio.c_str());
                    avverti(ErroreArchivio);
                    break;
                case EsitoVoce::Tipo::DiscoPieno:
                    std::fprintf(stderr, "unzip: %s: %s\n", nome.c_str(), r.messaggio.c_str());
                    return DiscoPieno;
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "unzip: %s: %s\n", nome.c_str(), e.what());
            avverti(ErroreArchivio);
        }
    }
    if (!trovato && !o.nomi.empty()) {
        std::fprintf(stderr, "unzip: nessuna voce corrisponde ai nomi dati\n");
        return std::max(esito, NessunaCorrispondenza);
    }
    return esito;
}

}  // namespace

int main(int argc, char** argv) {
    std::string errore;
    auto opzioni = LeggiOpzioni(argc, argv, errore);
    if (!opzioni) {
        std::fprintf(stderr, "unzip: %s\nuso: unzip.exe [-o|-n] [-q] ARCHIVIO [NOMI...] [-d CARTELLA]\n",
                     errore.c_str());
        return OpzioniErrate;
    }
    interruzione::Installa();
    try {
        return Estrai(*opzioni);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "unzip: memoria esaurita\n");
        return MemoriaEsaurita;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "unzip: %s\n", e.what());
        return ErroreGrave;
    }
}
