#pragma once
// An extraction stopped by SIGINT, SIGTERM or SIGHUP removes the temporary
// file it was writing and ends with status 80, as Info-ZIP does.
#include <string>

namespace estrattore::interruzione {

void Installa();
void Ricorda(const std::string& temporaneo);
void Dimentica();

}  // namespace estrattore::interruzione
