#pragma once
#include <string>

namespace noce {

// Runs a command line as a new process and waits for it without time-out.
// A program that cannot be started returns at once, silently; the exit
// code is not read.
void EseguiAttendi(const std::string& riga);

}  // namespace noce
