#include "Estrazione.h"

#include "Sistema.h"

namespace estrattore {

namespace {

struct FileArchivio {
    zip_file_t* f = nullptr;
    ~FileArchivio() {
        if (f) zip_fclose(f);
    }
};

// What stops an entry before its file takes the final name.
struct VoceRotta {
    std::string messaggio;
};

}  // namespace

EsitoVoce EstraiFile(zip_t* archivio, const Voce& voce, const std::string& cartella, const std::string& finale,
                     std::vector<char>& buffer) {
    FileArchivio entrata;
    entrata.f = zip_fopen_index(archivio, voce.indice, 0);
    if (!entrata.f) {
        zip_error_t* e = zip_get_error(archivio);
        int codice = zip_error_code_zip(e);
        bool nonSupportato = codice == ZIP_ER_COMPNOTSUPP || codice == ZIP_ER_ENCRNOTSUPP || codice == ZIP_ER_NOPASSWD;
        return {nonSupportato ? EsitoVoce::Tipo::Saltato : EsitoVoce::Tipo::Errore, zip_error_strerror(e)};
    }
    const bool dichiarata = voce.stat.valid & ZIP_STAT_SIZE;
    DatiFile dati;
    dati.eseguibile = voce.eseguibile;
    if (voce.stat.valid & ZIP_STAT_MTIME) dati.data = voce.stat.mtime;
    try {
        CreaFile(cartella, finale, dati, [&](const Scrivi& scrivi) {
            zip_uint64_t totale = 0;
            for (;;) {
                zip_int64_t n = zip_fread(entrata.f, buffer.data(), buffer.size());
                if (n == 0) break;
                // libzip checks the CRC when the entry's last byte has been read.
                if (n < 0) throw VoceRotta{zip_file_strerror(entrata.f)};
                totale += static_cast<zip_uint64_t>(n);
                // Checked before the bytes are written: the space the
                // declared sizes were measured against is all an entry gets.
                if (dichiarata && totale > voce.stat.size)
                    throw VoceRotta{"la voce supera la dimensione dichiarata di " +
                                                                 std::to_string(voce.stat.size) + " byte"};
                scrivi(buffer.data(), static_cast<std::size_t>(n));
            }
            if (dichiarata && totale != voce.stat.size)
                throw VoceRotta{"lunghezza errata: " + std::to_string(totale) +
                                                             " byte invece di " + std::to_string(voce.stat.size)};
        });
    } catch (const VoceRotta& r) {
        return {EsitoVoce::Tipo::Errore, r.messaggio};
    } catch (const ErroreFile& e) {
        return {e.discoPieno ? EsitoVoce::Tipo::DiscoPieno : EsitoVoce::Tipo::Errore, e.what()};
    }
    return {};
}

}  // namespace estrattore
