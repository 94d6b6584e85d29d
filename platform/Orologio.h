#pragma once
// The clock each platform reads; Sistema.h's Data and Ora read it unless a
// test has put its own clock in place.
#include "Sistema.h"

namespace noce::sistema {

DataOra OrologioDiSistema();

}  // namespace noce::sistema
