#include <exception>
#include <string>

#include "ShellLink.h"
#include "Sistema.h"
#include "mdlLogInstallazione.h"
#include "mdlSystemInfo.h"

namespace noce {

void CreaLink() {
    // A shortcut that cannot be made must not stop the installation: every
    // failure ends this step where it happens, without a word.
    try {
        ScriviLog("Creazione del link");
        // The library reads its texts up to a NUL; its result is not looked
        // at, a missing shortcut shows as the copy below failing.
        fCreateShellLink(DeskDir + '\0', "NOCE", Nocedir + "\\noce\\noce.exe", std::string(1, '\0'), -1, Nocedir);
        if (!sistema::EsisteCartella(MnuAvvioPrgDir + "\\Fulcro")) sistema::CreaCartella(MnuAvvioPrgDir + "\\Fulcro");
        ScriviLog("Copio: " + DeskDir + "\\NOCE.lnk" + "," + MnuAvvioPrgDir + "\\fulcro\\NOCE.lnk");
        sistema::CopiaFile(DeskDir + "\\NOCE.lnk", MnuAvvioPrgDir + "\\fulcro\\NOCE.lnk");
        ScriviLog("Fine creazione link");
    } catch (const std::exception&) {
    }
}

}  // namespace noce
