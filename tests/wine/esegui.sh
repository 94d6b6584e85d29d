#!/usr/bin/env bash
# Runs one Windows program under Wine in a fresh copy of the template prefix,
# from its own folder, and exits with its status:
#   esegui.sh PROGRAM.exe [ARGUMENT...]
set -euo pipefail
source "$(dirname "$0")/comune.sh"
programma=${1:?usage: esegui.sh PROGRAM.exe [ARGUMENT...]}
shift
[[ -f "$programma" ]] || { echo "FAILED: $programma is missing: run scripts/prepara-windows.sh" >&2; exit 1; }
programma=$(cd "$(dirname "$programma")" && pwd)/$(basename "$programma")
prefisso_wine
cd "$(dirname "$programma")"
wine "$programma" "$@"
