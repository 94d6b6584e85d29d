# Shared by the tests that run Windows programs under Wine: each test gets a
# fresh prefix copied from the run's template (tests/wine/modello.sh) and
# stops that prefix's wineserver when it ends. Sourced, never run; may be
# sourced after tests/window/comune.sh, whose clean-up then runs after ours.
#
# Needs: NOCE_WINE_MODELLO (the template prefix of this run).
set -euo pipefail

# Quiet, no mono or gecko installer, no menu entries written into the host's
# desktop.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINEARCH WINELOADER WINESERVER

: "${NOCE_WINE_MODELLO:?NOCE_WINE_MODELLO must name the template prefix (tests/wine/modello.sh makes it)}"
[[ -f "$NOCE_WINE_MODELLO/system.reg" ]] || { echo "FAILED: no template prefix in $NOCE_WINE_MODELLO" >&2; exit 1; }

WINE_TMP=$(mktemp -d "${TMPDIR:-/tmp}/noce-wine.XXXXXX")

# A copy of the template. Programs and libraries are hard links into the
# template, since Wine only ever replaces them, never writes into one (and a
# test must not either: it installs its own files, or replaces by renaming);
# everything else, the registry first, is the copy's own.
prefisso_wine() {
    local prefisso=${1:-$WINE_TMP/prefisso}
    cp -al "$NOCE_WINE_MODELLO" "$prefisso"
    find "$prefisso" -type f ! -iregex '.*\.\(dll\|exe\|drv\|sys\|ocx\|acm\|cpl\|vxd\|nls\|tlb\|ds\|ax\|com\|mod\)' \
        -exec sh -c 'for f; do cp -p "$f" "$f.copia" && mv -f "$f.copia" "$f"; done' sh {} +
    export WINEPREFIX=$prefisso
}

# Stops every Wine process of our prefix, and only of ours.
ferma_wine() {
    [[ -n "${WINEPREFIX:-}" && -d "$WINEPREFIX" ]] || return 0
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

# The host path of a path on the prefix's drive C: ("C:\Setup\x" gives
# $WINEPREFIX/drive_c/Setup/x); letter case as given.
percorso_c() {
    local p=${1#[cC]:}
    p=${p//\\//}
    echo "$WINEPREFIX/drive_c${p}"
}

_wine_pulisci() {
    local rc=$?
    ferma_wine
    rm -rf "$WINE_TMP"
    if [[ -n "$_wine_trap_precedente" ]]; then
        # The earlier clean-up reads the status from $?, as a trap does.
        set +e
        (exit $rc)
        eval "$_wine_trap_precedente"
    fi
    exit $rc
}
_wine_trap_precedente=$(trap -p EXIT | sed -E "s/^trap -- '(.*)' EXIT$/\1/")
trap _wine_pulisci EXIT
trap 'exit 130' INT TERM
