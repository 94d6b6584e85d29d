#pragma once
// A whole file read back by a test, byte for byte.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace noce::prova {

// Empty when the file cannot be opened: a test that cares whether it is
// there says so itself.
inline std::string LeggiFile(const std::filesystem::path& percorso) {
    std::ifstream in(percorso, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace noce::prova
