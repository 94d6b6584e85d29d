// The bootstrap: the downloader comes over one HTTP GET of our own, before
// the cycle's first tick. Its failure path, shared with the three fetches,
// is FallimentoScarico.cpp.
#include "app/frmPrincipale.h"
#include "platform/mdlLogInstallazione.h"

namespace noce {

namespace {

// The runtime's base for errors an application raises of its own.
constexpr std::int64_t vbObjectError = -2147221504;

}  // namespace

void frmPrincipale::ScaricoScaricatore() {
    std::string checkpoint;
    try {
        lblScritta[1].Caption = "Scarico componente";
        ui.DoEvents();
        if (sistema::EsisteFile(CartellaInstallatore() + "\\scaricatore.exe")) {
            if (MsgBox("Scaricatore già presente, lo scarico di nuovo?", Pulsanti::SiNo, Icona::Domanda) == vbNo)
                return;
        }
        RichiestaHttp->Open("GET", std::string("http://") + HostServer + "/download/scaricatore.exe", false);
        RichiestaHttp->SetRequestHeader(
            "Accept",
            "image/gif, image/jpeg, image/pjpeg, image/pjpeg, application/x-shockwave-flash, "
            "application/x-ms-application, application/x-ms-xbap, application/vnd.ms-xpsdocument, "
            "application/xaml+xml, */*");
        RichiestaHttp->SetRequestHeader("Accept-Language", "it");
        RichiestaHttp->SetRequestHeader(
            "User-Agent",
            "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1; Trident/4.0; GTB6.4; .NET CLR 2.0.50727; "
            ".NET CLR 3.0.4506.2152; .NET CLR 3.5.30729)");
        RichiestaHttp->SetRequestHeader("Accept-Encoding", "gzip, deflate");
        RichiestaHttp->SetRequestHeader("Host", HostServer);
        RichiestaHttp->SetRequestHeader("Connection", "Keep-Alive");
        ScriviLog("Avvio richiesta scarico UnZip");
        RichiestaHttp->Send();
        checkpoint = "80";
        // An error page saved as the downloader would only fail later, and
        // far from its cause.
        const int status = RichiestaHttp->Status();
        if (status < 200 || status > 299)
            throw ErroreRuntime(vbObjectError + status,
                                "Il server ha risposto " + std::to_string(status) + " " + RichiestaHttp->StatusText());
        const std::string percorso = CartellaInstallatore() + "\\scaricatore.exe";
        checkpoint = "90";
        // Written beside and renamed into place: never a partial program,
        // and a present one is replaced whole.
        RichiestaHttp->SaveResponseBody(percorso);
        checkpoint = "102";
        ScriviLog("Fine scarico Scaricatore");
    } catch (const std::exception& e) {
        FallimentoScarico("ScaricoScaricatore", checkpoint, e);
    }
}

}  // namespace noce
