#pragma once
// One GET of the fetch, as the bytes of its response arrive: whether the
// answer is the file (or the part of it that was asked for), the body's
// framing and coding, the time limits.
#include <cstdint>
#include <memory>
#include <string>

#include "Decodifica.h"
#include "FileParziale.h"
#include "LogScarico.h"
#include "Risposta.h"
#include "Sorveglianza.h"
#include "Trasferimento.h"
#include "Trasporto.h"

namespace scaricatore {

// How an attempt ended when it did not bring the whole file.
enum class Interruzione { Nessuna, Riprova, RipartiDaZero, Fatale };

// What is known of the file across attempts; cleared when it starts again.
struct Conosciuto {
    std::string validatore;     // for If-Range; empty: no resume
    std::int64_t dimensione = -1;  // what the first whole answer announced
};

class Tentativo : public Ricevente {
public:
    Tentativo(FileParziale& file, Conosciuto& conosciuto, const LogScarico& log, const Avanzamento& avanzamento,
              const Limiti& limiti, std::uint64_t richiestoDa, bool vedeUltimoChunk);

    void Intestazione(std::string_view riga) override;
    bool Dati(const char* dati, std::size_t n) override;
    bool Controlla() override;
    // With the transport's own verdict: empty when its framing ended well.
    void Concludi(const std::string& erroreTrasporto);

    bool Completo() const { return completo_; }
    Interruzione Come() const { return interruzione_; }
    const std::string& Motivo() const { return motivo_; }

private:
    bool IniziaCorpo();
    bool Intervallo();
    bool Ferma(Interruzione come, std::string motivo);

    FileParziale& file_;
    Conosciuto& conosciuto_;
    const LogScarico& log_;
    const Avanzamento& avanzamento_;
    Limiti limiti_;
    std::uint64_t richiestoDa_;
    bool vedeUltimoChunk_;
    Sorveglianza sorveglianza_;
    Risposta risposta_;
    std::unique_ptr<Decodifica> decodifica_;
    bool corpoIniziato_ = false, completo_ = false;
    std::uint64_t ricevuti_ = 0;  // body bytes of this response, as sent
    std::int64_t attesi_ = -1;    // what the framing announces; -1 for chunks without a range
    Interruzione interruzione_ = Interruzione::Nessuna;
    std::string motivo_;
    Orologio::time_point ultimoAvanzamento_{};
};

}  // namespace scaricatore
