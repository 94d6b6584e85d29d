#pragma once
// Time-outs and retries. The defaults suit a real line; the environment
// can shorten them (tests) or lengthen them (a very slow line).
namespace scaricatore {

struct Impostazioni {
    long connessioneS = 30;   // NOCE_SCARICO_CONNESSIONE_S: connect time-out
    long stalloS = 30;        // NOCE_SCARICO_STALLO_S: no byte for this long ends an attempt
    int tentativi = 5;        // NOCE_SCARICO_TENTATIVI: attempts in all
    long pausaMs = 1000;      // NOCE_SCARICO_PAUSA_MS: first pause between attempts
    // Fewer bytes than this a second, averaged over the window, end an
    // attempt as silence does.
    long velocitaMinima = 1024;  // NOCE_SCARICO_VELOCITA_MINIMA: bytes a second
    long finestraS = 30;         // NOCE_SCARICO_FINESTRA_S
    // The whole fetch, every attempt and pause included; past it the fetch
    // has failed. Two hours bring 900 MB over a 1 Mbit/s line.
    long scadenzaS = 7200;       // NOCE_SCARICO_SCADENZA_S
};

// The defaults, with each variable that holds a positive number applied.
Impostazioni LeggiImpostazioni();

}  // namespace scaricatore
