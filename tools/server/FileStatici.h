#pragma once
// Static files of one folder: one byte range, ETag and Last-Modified with
// If-Range; the body stays on disk and is sent from the open file.
#include <string>

#include "Richiesta.h"
#include "Risposta.h"

namespace server {

class FileStatici {
public:
    explicit FileStatici(std::string radice);
    // The file the request names, whole or the range it asks for; 404 for
    // anything outside the folder or not a plain file.
    Risposta Servi(const Richiesta& richiesta) const;

private:
    std::string radice_, radiceReale_;
};

// The Content-Type for a file name, by its extension.
std::string TipoContenuto(const std::string& nome);

}  // namespace server
