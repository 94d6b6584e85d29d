#pragma once
// The pieces the emulated system programs share: the commands cmd.exe
// knows, the way its lines are split into words, and its questions.
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace noce::comandi {

// The words of a command as XCOPY and REG read them: blanks and tabs
// separate, double quotes group and are removed, backslashes are plain
// characters (so "C:\Setup\files\" is one word ending in a backslash), and
// "" is an empty word.
std::vector<std::string> Parole(const std::string& riga);

// Shows a question on standard output and reads the answer from standard
// input; nothing when standard input has ended.
std::optional<std::string> Chiedi(const std::string& domanda);

bool UgualeSenzaCaso(const std::string& a, const std::string& b);
std::string Maiuscolo(std::string s);

// What a failure says to the person at the console.
std::string Messaggio(const std::exception& e);

// Folder test that excludes plain files.
bool EsisteSoloCartella(const std::string& percorso);
// Creates a folder with every missing parent.
void CreaCartelle(const std::string& percorso);

// XCOPY source [destination] [/Y] [/-Y] [/C] [/I] [/Q] [/F]; the words
// after the command's name. Returns the exit code.
int Xcopy(const std::vector<std::string>& parole);

// REG ADD key [/v name | /ve] [/t type] [/s separator] [/d data] [/f].
int Reg(const std::vector<std::string>& parole);

}  // namespace noce::comandi
