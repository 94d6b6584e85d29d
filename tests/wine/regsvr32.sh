#!/usr/bin/env bash
# The demo components as Windows registers them: the 32-bit regsvr32 (the
# one a 32-bit installer's "regsvr32 /s" runs in a 64-bit Windows) loads
# each from where it lies and its DllRegisterServer writes a CLSID key of
# its own, in the 32-bit view, whose InprocServer32 names that file; /u
# removes the key, and a second /u still succeeds with nothing to remove.
# While registered, a COM client makes an object of the class from it.
set -euo pipefail
source "$(dirname "$0")/comune.sh"
source "$(dirname "$0")/../../scripts/registro_wine.sh"
: "${NOCE_BUILD_WIN:?NOCE_BUILD_WIN must name the Windows build}"
fallito() { echo "FAILED: $*" >&2; exit 1; }
componenti=$NOCE_BUILD_WIN/content/componenti
cliente=$NOCE_BUILD_WIN/tests/win32/oggetto-com.exe
[[ -f "$cliente" ]] || fallito "$cliente is missing: build build-win"
prefisso_wine

regsvr32() { wine 'C:\windows\syswow64\regsvr32.exe' "$@" 2>/dev/null; }
# The InprocServer32 path of the CLSID key named, in the 32-bit view.
server_di() {
    wine reg query "HKLM\\Software\\Classes\\CLSID\\$1\\InprocServer32" /ve /reg:32 2>/dev/null | tr -d '\r' |
        sed -nE 's/^ *\(Default\) +REG_SZ +//p'
}

mkdir -p "$WINEPREFIX/drive_c/Prova Componenti"
visti=""
for nome in nocebase.dll nocegrafica.ocx; do
    [[ -f "$componenti/$nome" ]] || fallito "$componenti/$nome is missing: build build-win"
    cp "$componenti/$nome" "$WINEPREFIX/drive_c/Prova Componenti/"
    percorso="C:\\Prova Componenti\\$nome"

    regsvr32 /s "$percorso" || fallito "regsvr32 /s $nome exited $?"
    registrati=$(componenti_registrati)
    riga=$(componente_registrato "$nome" <<<"$registrati")
    clsid=${riga%% *}
    [[ "$clsid" =~ ^\{[0-9A-Fa-f-]{36}\}$ ]] || fallito "$nome: no CLSID key names it after regsvr32"
    [[ "$(server_di "$clsid")" == "$percorso" ]] || fallito "$nome: InprocServer32 is '$(server_di "$clsid")'"
    [[ " $visti " != *" $clsid "* ]] || fallito "$nome shares its CLSID $clsid with another component"
    visti+=" $clsid"
    wine reg query "HKLM\\Software\\Classes\\CLSID\\$clsid" /reg:64 >/dev/null 2>&1 &&
        fallito "$nome: its key is in the 64-bit view, where 32-bit COM does not look"

    creato=$(wine "$cliente" "$clsid" 2>/dev/null | tr -d '\r') || true
    [[ "$creato" == ok ]] || fallito "$nome: COM cannot make an object of $clsid: $creato"

    regsvr32 /s /u "$percorso" || fallito "regsvr32 /s /u $nome exited $?"
    ! wine "$cliente" "$clsid" >/dev/null 2>&1 || fallito "$nome: COM still makes $clsid after /u"
    wine reg query "HKLM\\Software\\Classes\\CLSID\\$clsid" /reg:32 >/dev/null 2>&1 &&
        fallito "$nome: its CLSID key $clsid is still there after /u"
    regsvr32 /s /u "$percorso" || fallito "a second regsvr32 /u of $nome failed"
    echo "$nome: registered as $clsid, then removed"
done
