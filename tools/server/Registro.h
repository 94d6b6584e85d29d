#pragma once
// One line per request on standard error.
#include <httplib.h>

namespace server {

void RegistraRichiesta(const httplib::Request& richiesta, const httplib::Response& risposta);

}  // namespace server
