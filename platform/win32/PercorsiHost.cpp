// On Windows the host's file calls take Windows paths as they are.
#include "../PercorsiHost.h"

#include "../Sistema.h"

namespace noce::sistema {

std::string PercorsoHost(const std::string& percorsoWindows) { return percorsoWindows; }

std::string PercorsoWindows(const std::string& percorsoHost) { return percorsoHost; }

std::string CartellaEseguibile() { return CartellaProgramma(); }

}  // namespace noce::sistema
