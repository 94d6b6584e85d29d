#!/usr/bin/env bash
# The run's template prefix, from which every Wine test copies its own:
#   modello.sh crea      wineboot -i into NOCE_WINE_MODELLO (replacing one
#                        left by an earlier run)
#   modello.sh rimuovi   removes it
set -euo pipefail
: "${NOCE_WINE_MODELLO:?NOCE_WINE_MODELLO must name the template prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINEARCH WINELOADER WINESERVER DISPLAY

case "${1:-}" in
crea)
    nuovo=$NOCE_WINE_MODELLO.nuovo
    rm -rf "$NOCE_WINE_MODELLO" "$nuovo"
    mkdir -p "$(dirname "$NOCE_WINE_MODELLO")"
    export WINEPREFIX=$nuovo
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$nuovo"' EXIT
    wineboot -i >"$nuovo.log" 2>&1 || { cat "$nuovo.log" >&2; exit 1; }
    # Without a window manager a managed window never gets the keyboard.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$nuovo.log" 2>&1 ||
        { cat "$nuovo.log" >&2; exit 1; }
    # Windows 10, what most people run, where the version a program sees
    # depends on its manifest.
    wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >>"$nuovo.log" 2>&1 ||
        { cat "$nuovo.log" >&2; exit 1; }
    # The registry reaches the disk when the server ends by itself.
    wineserver -w
    rm -f "$nuovo.log"
    # Wine links the user's shell folders (Desktop, Documents, ...) to the
    # host's home; a test's shortcuts and files stay inside its prefix.
    find "$nuovo/drive_c/users" -type l -print0 | while IFS= read -r -d '' l; do
        rm "$l" && mkdir "$l"
    done
    # Wine's own fonts (MS Sans Serif, Tahoma, Marlett for the title bar's
    # buttons, ...) come in fonts-wine under /usr/share/wine/fonts, where
    # Debian's Wine 8 does not look; a prefix's Fonts folder is where
    # Windows keeps them.
    cp /usr/share/wine/fonts/* "$nuovo/drive_c/windows/Fonts/"
    [[ -f "$nuovo/system.reg" ]] || { echo "wineboot made no registry in $nuovo" >&2; exit 1; }
    trap - EXIT
    mv "$nuovo" "$NOCE_WINE_MODELLO"
    ;;
rimuovi)
    rm -rf "$NOCE_WINE_MODELLO" "$NOCE_WINE_MODELLO.nuovo"
    ;;
*)
    echo "usage: $0 crea|rimuovi" >&2
    exit 2
    ;;
esac
