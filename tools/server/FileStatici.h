#pragma once
// Static files of one folder over HTTP/1.1: GET and HEAD, one byte range,
// ETag and Last-Modified with If-Range, streamed from disk.
#include <httplib.h>

#include <string>

namespace server {

class FileStatici {
public:
    explicit FileStatici(std::string radice);
    void operator()(const httplib::Request& richiesta, httplib::Response& risposta) const;

private:
    std::string radice_, radiceReale_;
};

// The Content-Type for a file name, by its extension.
std::string TipoContenuto(const std::string& nome);

}  // namespace server
