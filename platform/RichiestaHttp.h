#pragma once
// The platform's HTTP request object, in the terms of IWinHttpRequest: one
// request at a time, synchronous, the request headers put on the wire
// exactly in the order they were set.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace noce {

class CorpoRisposta;

class WinHttpRequest {
public:
    WinHttpRequest();
    ~WinHttpRequest();
    WinHttpRequest(const WinHttpRequest&) = delete;
    WinHttpRequest& operator=(const WinHttpRequest&) = delete;

    // Prepares a request; only synchronous requests (asincrono false) and
    // http URLs are supported.
    void Open(const std::string& metodo, const std::string& url, bool asincrono);
    // Adds a header; headers go on the wire in the order they were set,
    // and nothing is added to them.
    void SetRequestHeader(const std::string& nome, const std::string& valore);
    // Sends the request and waits for the whole response. Throws
    // ErroreRuntime with the WinHTTP error numbers (for example -2147012867
    // "Impossibile stabilire una connessione con il server") on failure.
    // The body goes to a temporary file as it arrives, decoded; past
    // LimiteCorpo bytes the request fails with the too-large error.
    void Send();

    int Status() const { return status_; }
    const std::string& StatusText() const { return statusText_; }
    // The response body as received; a declared gzip or deflate
    // Content-Encoding has been decoded. Empty before a complete response.
    std::string ResponseBody() const;
    // Saves the body under a Windows path, as SalvaBytes does, without
    // taking it into memory.
    void SaveResponseBody(const std::string& percorso) const;
    std::string GetResponseHeader(const std::string& nome) const;

    // Time-outs in milliseconds, as the request object has them by default.
    int TimeoutConnessione = 60000;
    int TimeoutInvio = 30000;
    int TimeoutRicezione = 30000;
    // The most a body may take, on the wire and decoded.
    std::uint64_t LimiteCorpo = std::uint64_t{256} << 20;  // http::MassimoCorpo

private:
    // Throws the platform's error for a URL it cannot request.
    static void VerificaUrl(const std::string& url);
    void AzzeraRisposta();

    std::string metodo_, url_;
    std::vector<std::pair<std::string, std::string>> intestazioni_;
    int status_ = 0;
    std::string statusText_;
    std::vector<std::pair<std::string, std::string>> intestazioniRisposta_;
    std::unique_ptr<CorpoRisposta> corpo_;
};

// The download server's host name: one constant of the installer. Every
// connection to it goes to NOCE_SERVER (HOST:PORT) when that is set.
inline constexpr const char* HostServer = "download.noce.example";

}  // namespace noce
