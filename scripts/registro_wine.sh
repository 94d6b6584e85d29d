# componenti_registrati: the in-process servers registered in the Wine
# prefix WINEPREFIX, as "CLSID PATH" lines, from the 32-bit view of the
# registry, where a 32-bit regsvr32 writes. Sourced.
componenti_registrati() {
    wine reg query 'HKLM\Software\Classes\CLSID' /s /reg:32 2>/dev/null | tr -d '\r' | awk '
        /^HKEY_/ { chiave = $0; next }
        chiave ~ /\\InprocServer32$/ && $1 == "(Default)" && $2 == "REG_SZ" {
            clsid = chiave; sub(/\\InprocServer32$/, "", clsid); sub(/.*\\/, "", clsid)
            valore = $0; sub(/^ *\(Default\) +REG_SZ +/, "", valore)
            print clsid, valore
        }'
}

# componente_registrato NAME: the "CLSID PATH" line of the server whose file
# is called NAME (without regard to case), from componenti_registrati's
# lines on standard input; nothing when there is none.
componente_registrato() {
    awk -v c="${1,,}" '{ n = split(substr($0, length($1) + 2), p, "\\"); if (tolower(p[n]) == c) { print; exit } }'
}
