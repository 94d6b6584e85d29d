#!/usr/bin/env bash
# Runs a Linux command with WINEPREFIX set to a fresh copy of the run's
# template prefix, whose wineserver is stopped when it ends:
#   nel_prefisso.sh COMMAND [ARGUMENT...]
set -euo pipefail
source "$(dirname "$0")/../wine/comune.sh"
prefisso_wine
"$@"
