#pragma once
// Exit statuses, with the meanings Info-ZIP's unzip gives them, so that a
// script written for one reads the other the same way.
namespace estrattore {

inline constexpr int Ok = 0;
inline constexpr int Avvertimenti = 1;       // some entries skipped, the rest done
inline constexpr int ErroreArchivio = 2;     // some entries failed (bad CRC, corrupt data, cannot write)
inline constexpr int ErroreGrave = 3;        // the archive's structure is broken
inline constexpr int MemoriaEsaurita = 4;
inline constexpr int ArchivioNonTrovato = 9; // not found, or not a zip archive
inline constexpr int OpzioniErrate = 10;
inline constexpr int NessunaCorrispondenza = 11;
inline constexpr int ArchivioOstile = 12;     // entries share their data: a "zip bomb", refused whole
inline constexpr int DiscoPieno = 50;
inline constexpr int Interrotto = 80;

}  // namespace estrattore
