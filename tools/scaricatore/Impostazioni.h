#pragma once
// Time-outs and retries. The defaults suit a real line; the environment
// can shorten them (tests) or lengthen them (a very slow line).
namespace scaricatore {

struct Impostazioni {
    long connessioneS = 30;   // NOCE_SCARICO_CONNESSIONE_S: connect time-out
    long stalloS = 30;        // NOCE_SCARICO_STALLO_S: no byte for this long ends an attempt
    int tentativi = 5;        // NOCE_SCARICO_TENTATIVI: attempts in all
    long pausaMs = 1000;      // NOCE_SCARICO_PAUSA_MS: first pause between attempts
};

// The defaults, with each variable that holds a positive number applied.
Impostazioni LeggiImpostazioni();

}  // namespace scaricatore
