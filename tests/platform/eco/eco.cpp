// Writes its arguments, each followed by a NUL, to the file NOCE_ECO_FILE
// names, after sleeping NOCE_ECO_ATTESA_MS milliseconds; exits with
// NOCE_ECO_CODICE. The file is renamed into place, so it appears only
// complete and only once the program is about to end.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    const char* file = std::getenv("NOCE_ECO_FILE");
    if (const char* a = std::getenv("NOCE_ECO_ATTESA_MS"))
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(a)));
    if (file) {
        std::string tmp = std::string(file) + ".tmp";
        {
            std::ofstream out(tmp, std::ios::binary);
            for (int i = 1; i < argc; ++i) out << argv[i] << '\0';
        }
        std::rename(tmp.c_str(), file);
    }
    const char* codice = std::getenv("NOCE_ECO_CODICE");
    return codice ? std::atoi(codice) : 0;
}
