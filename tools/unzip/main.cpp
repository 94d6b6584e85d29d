// unzip.exe [-o|-n] [-q] ARCHIVE [NAME...] [-d FOLDER]
//
// Unpacks a zip archive into FOLDER (Windows paths), creating sub-folders
// and, with -o, replacing files already there. An entry that cannot be
// unpacked is reported and the others go on; the exit status tells the
// worst that happened, with Info-ZIP's numbers. Nothing is written before
// the archive has passed the checks that bound what it can write: no two
// entries sharing data, and room on the disk for every size it declares.
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "Cartelle.h"
#include "CodiciUscita.h"
#include "Estrazione.h"
#include "Interruzione.h"
#include "NomeVoce.h"
#include "Opzioni.h"
#include "Sistema.h"
#include "Sovrapposizioni.h"
#include "platform/PercorsiHost.h"

namespace {

using namespace estrattore;

struct Archivio {
    zip_t* z = nullptr;
    ~Archivio() {
        if (z) zip_discard(z);
    }
};

// An entry to unpack, as the first pass found it.
struct Previsto {
    Voce voce;
    NomeVoce nome;
};

struct Piano {
    std::vector<Previsto> voci;
    std::uint64_t byte = 0;  // on disk, each file rounded up to the disk's unit
    int esito = Ok;
    bool trovato = false;  // some entry matched the names given
};

bool Richiesto(const Opzioni& o, const std::string& nome) {
    if (o.nomi.empty()) return true;
    return std::any_of(o.nomi.begin(), o.nomi.end(), [&](const std::string& m) { return Corrisponde(m, nome); });
}

// Whether the archive marks the entry as a symbolic link, and whether it
// gives it an execute bit. Nothing else of its mode is kept: installed files
// get the ordinary modes, under the umask.
bool Collegamento(zip_t* z, zip_uint64_t i, bool& eseguibile) {
    zip_uint8_t sistema = 0;
    zip_uint32_t attributi = 0;
    eseguibile = false;
    if (zip_file_get_external_attributes(z, i, 0, &sistema, &attributi) != 0 || sistema != ZIP_OPSYS_UNIX)
        return false;
    const zip_uint32_t modo = attributi >> 16;
    eseguibile = (modo & 0111) != 0;
    return (modo & 0170000) == 0120000;
}

// The entries to unpack, with the refusals reported, and what they need.
Piano Prevedi(zip_t* z, const Opzioni& o, std::uint64_t blocco) {
    Piano p;
    auto avverti = [&](int codice) { p.esito = std::max(p.esito, codice); };
    zip_int64_t voci = zip_get_num_entries(z, 0);
    for (zip_int64_t k = 0; k < voci; ++k) {
        Previsto v;
        v.voce.indice = static_cast<zip_uint64_t>(k);
        if (zip_stat_index(z, v.voce.indice, 0, &v.voce.stat) != 0 || !(v.voce.stat.valid & ZIP_STAT_NAME)) {
            std::fprintf(stderr, "unzip: voce %lld illeggibile: %s\n", static_cast<long long>(k), zip_strerror(z));
            avverti(ErroreArchivio);
            continue;
        }
        const std::string nome = v.voce.stat.name;
        if (!Richiesto(o, nome)) continue;
        p.trovato = true;
        v.nome = LeggiNomeVoce(nome);
        if (!v.nome.rifiuto.empty()) {
            std::fprintf(stderr, "unzip: %s: rifiutato, %s\n", nome.c_str(), v.nome.rifiuto.c_str());
            avverti(Avvertimenti);
            continue;
        }
        if (v.nome.parti.empty()) continue;
        if (Collegamento(z, v.voce.indice, v.voce.eseguibile)) {
            std::fprintf(stderr, "unzip: %s: saltato, è un collegamento simbolico\n", nome.c_str());
            avverti(Avvertimenti);
            continue;
        }
        if (!v.nome.cartella && (v.voce.stat.valid & ZIP_STAT_SIZE))
            p.byte += (v.voce.stat.size + blocco - 1) / blocco * blocco;
        p.voci.push_back(std::move(v));
    }
    return p;
}

// One entry onto disk; the status it leaves, or DiscoPieno to stop.
int EstraiVoce(zip_t* z, const Opzioni& o, Cartelle& cartelle, const Previsto& v, std::vector<char>& buffer) {
    const NomeVoce& n = v.nome;
    const char* nome = v.voce.stat.name;
    std::string mostrato = o.cartella;
    for (const auto& p : n.parti) mostrato += "\\" + p;
    try {
        if (n.cartella) {
            cartelle.Cartella(n.parti, n.parti.size());
            if (o.silenzio == 0) std::printf("   creating: %s\\\n", mostrato.c_str());
            return Ok;
        }
        std::string cartella = cartelle.Cartella(n.parti, n.parti.size() - 1);
        std::string nomeHost = cartelle.Nome(cartella, n.parti.back());
        std::string finale = Dentro(cartella, nomeHost);
        Tipo presente = TipoDi(finale);
        if (presente == Tipo::Cartella) {
            std::fprintf(stderr, "unzip: %s: c'è una cartella con lo stesso nome\n", mostrato.c_str());
            return ErroreArchivio;
        }
        if (presente != Tipo::Nessuno && o.sostituzione == Opzioni::Sostituzione::Mai) {
            if (o.silenzio == 0) std::printf("   esistente: %s (non sostituito)\n", mostrato.c_str());
            return Ok;
        }
        if (o.silenzio == 0)
            std::printf("%s %s\n", v.voce.stat.comp_method == ZIP_CM_STORE ? " extracting:" : "  inflating:",
                        mostrato.c_str());
        EsitoVoce r = EstraiFile(z, v.voce, cartella, finale, buffer);
        switch (r.tipo) {
            case EsitoVoce::Tipo::Fatto: cartelle.Aggiunto(cartella, nomeHost); return Ok;
            case EsitoVoce::Tipo::Saltato:
                std::fprintf(stderr, "unzip: %s: saltato, %s\n", nome, r.messaggio.c_str());
                return Avvertimenti;
            case EsitoVoce::Tipo::Errore:
                std::fprintf(stderr, "unzip: %s: %s\n", nome, r.messaggio.c_str());
                return ErroreArchivio;
            case EsitoVoce::Tipo::DiscoPieno:
                std::fprintf(stderr, "unzip: %s: %s\n", nome, r.messaggio.c_str());
                return DiscoPieno;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "unzip: %s: %s\n", nome, e.what());
    }
    return ErroreArchivio;
}

// Ok, or why the archive at host path `percorso` is refused: its entries
// share data. On a source of its own, since libzip reads its source from
// wherever it last left it.
int Sovrapposizioni(const std::string& percorso, const std::string& mostrato) {
    zip_error_t errore;
    zip_error_init(&errore);
    zip_source_t* s = ApriSorgente(percorso, &errore);
    int esito = ErroreGrave;
    try {
        if (!s) throw std::runtime_error(zip_error_strerror(&errore));
        std::string sovrapposte = CercaSovrapposizione(s);
        esito = sovrapposte.empty() ? Ok : ArchivioOstile;
        if (!sovrapposte.empty())
            std::fprintf(stderr, "unzip: %s: rifiutato, le voci %s condividono i dati (archivio ostile o rotto)\n",
                         mostrato.c_str(), sovrapposte.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "unzip: %s: %s\n", mostrato.c_str(), e.what());
    }
    if (s) zip_source_free(s);
    zip_error_fini(&errore);
    return esito;
}

// The archive opened by libzip, once its bytes have passed the overlap
// check; a status other than Ok when it cannot be used.
int Apri(const Opzioni& o, Archivio& a) {
    std::string percorso = TrovaArchivio(o.archivio);
    if (percorso.empty()) {
        std::fprintf(stderr, "unzip: impossibile trovare o aprire %s\n", o.archivio.c_str());
        return ArchivioNonTrovato;
    }
    zip_error_t errore;
    zip_error_init(&errore);
    if (zip_source_t* s = ApriSorgente(percorso, &errore)) {
        a.z = zip_open_from_source(s, ZIP_RDONLY, &errore);
        if (!a.z) zip_source_free(s);
    }
    if (!a.z) {
        std::fprintf(stderr, "unzip: %s: %s\n", o.archivio.c_str(), zip_error_strerror(&errore));
        int codice = zip_error_code_zip(&errore);
        zip_error_fini(&errore);
        if (codice == ZIP_ER_MEMORY) return MemoriaEsaurita;
        if (codice == ZIP_ER_INCONS) return ErroreGrave;
        return ArchivioNonTrovato;
    }
    return Sovrapposizioni(percorso, o.archivio);
}

int Estrai(const Opzioni& o) {
    Archivio a;
    if (int esito = Apri(o, a); esito != Ok) return esito;
    if (o.silenzio == 0) std::printf("Archive:  %s\n", o.archivio.c_str());

    const std::string destinazione = noce::sistema::PercorsoHost(o.cartella);
    const auto spazio = SpazioLibero(destinazione);
    Piano piano = Prevedi(a.z, o, spazio ? spazio->blocco : 1);
    if (spazio && piano.byte > spazio->liberi) {
        std::fprintf(stderr, "unzip: spazio insufficiente in %s: servono %llu byte, ce ne sono %llu\n",
                     o.cartella.c_str(), static_cast<unsigned long long>(piano.byte),
                     static_cast<unsigned long long>(spazio->liberi));
        return DiscoPieno;
    }

    Cartelle cartelle(destinazione);
    std::vector<char> buffer(256 * 1024);
    int esito = piano.esito;
    for (const Previsto& v : piano.voci) {
        int r = EstraiVoce(a.z, o, cartelle, v, buffer);
        if (r == DiscoPieno) return DiscoPieno;
        esito = std::max(esito, r);
    }
    if (!piano.trovato && !o.nomi.empty()) {
        std::fprintf(stderr, "unzip: nessuna voce corrisponde ai nomi dati\n");
        return std::max(esito, NessunaCorrispondenza);
    }
    return esito;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> argomenti = Argomenti(argc, argv);
    std::vector<const char*> righe;
    for (const auto& a : argomenti) righe.push_back(a.c_str());
    std::string errore;
    auto opzioni = LeggiOpzioni(static_cast<int>(righe.size()), righe.data(), errore);
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
