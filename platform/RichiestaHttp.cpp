// What the request object is on every platform: the checks of Open and of
// each header, and the response as the platform's Send left it.
#include "RichiestaHttp.h"

#include "CorpoRisposta.h"
#include "Http.h"

namespace noce {

namespace {

bool Token(const std::string& s) {
    if (s.empty()) return false;
    for (unsigned char c : s)
        if (c <= 0x20 || c >= 0x7F || std::string("()<>@,;:\\\"/[]?={}").find(static_cast<char>(c)) != std::string::npos)
            return false;
    return true;
}

}  // namespace

using http::ErroreWinHttp;
namespace codice = http::codice;

WinHttpRequest::WinHttpRequest() = default;
WinHttpRequest::~WinHttpRequest() = default;

void WinHttpRequest::Open(const std::string& metodo, const std::string& url, bool asincrono) {
    if (asincrono || !Token(metodo)) throw ErroreDi(err::ChiamataNonValida);
    VerificaUrl(url);
    metodo_ = metodo;
    url_ = url;
    intestazioni_.clear();
    AzzeraRisposta();
}

void WinHttpRequest::SetRequestHeader(const std::string& nome, const std::string& valore) {
    if (metodo_.empty()) throw ErroreWinHttp(codice::PrimaDiOpen);
    // A line break in a value would smuggle a header of its own.
    if (!Token(nome) || valore.find_first_of("\r\n") != std::string::npos || valore.find('\0') != std::string::npos)
        throw ErroreWinHttp(codice::IntestazioneNonValida);
    intestazioni_.emplace_back(nome, valore);
}

void WinHttpRequest::AzzeraRisposta() {
    status_ = 0;
    statusText_.clear();
    intestazioniRisposta_.clear();
    corpo_.reset();
}

std::string WinHttpRequest::ResponseBody() const { return corpo_ ? corpo_->Leggi() : std::string(); }

void WinHttpRequest::SaveResponseBody(const std::string& percorso) const {
    if (!corpo_) throw ErroreDi(err::ChiamataNonValida);
    corpo_->Salva(percorso);
}

std::string WinHttpRequest::GetResponseHeader(const std::string& nome) const {
    return http::ValoreIntestazione(intestazioniRisposta_, nome);
}

}  // namespace noce
