#!/usr/bin/env bash
# The Windows build: installs what it needs (only what is missing), builds
# libzip and GoogleTest for MinGW once into build-win/dipendenze, then
# configures and builds build-win/. Run by ./test after scripts/prepara.sh.
#
#   NOCE_TEMPI=1   print how long each step took
set -euo pipefail

PACCHETTI=(
  cmake dpkg-dev xz-utils
  g++-mingw-w64-i686-posix libz-mingw-w64-dev googletest
  wine wine64 wine32:i386 fonts-wine
  liblnk-utils xvfb xdotool x11-utils
)

radice=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$radice/build-win
dipendenze=$build/dipendenze
toolchain=$radice/cmake/mingw-w64-i686.cmake
source "$radice/scripts/pacchetti.sh"

passo() {
    local nome=$1 inizio=$SECONDS
    shift
    "$@"
    [[ -z "${NOCE_TEMPI:-}" ]] || echo "prepara-windows: $nome $((SECONDS - inizio)) s"
}

# A third-party build says a lot; it is shown only when it fails.
zitto() {
    local log
    log=$(mktemp)
    if ! "$@" >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "prepara-windows: failed: $*" >&2
        return 1
    fi
    rm -f "$log"
}

# The mirror this machine takes Debian from, as its own apt sources name it
# (one-line and deb822 forms), so the source package comes from the same
# signed archive as the binaries.
mirror_debian() {
    local m
    m=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | sed -E 's/\[[^]]*\]//' |
        awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }')
    if [[ -z "$m" ]]; then
        m=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
            awk 'BEGIN { RS = ""; FS = "\n" }
                 { u = ""; buono = 0
                   for (i = 1; i <= NF; i++) {
                     if ($i ~ /^URIs:/) { split($i, a, /[ \t]+/); u = a[2] }
                     if ($i ~ /^Suites:/ && $i ~ /[ \t]bookworm([ \t]|$)/) buono = 1
                   }
                   if (buono && u != "") { print u; exit } }')
    fi
    echo "${m:-http://deb.debian.org/debian}"
}

# Debian's own libzip source (apt checks the archive's signature and the
# files' hashes), built as a static library against MinGW's zlib.
costruisci_libzip() {
    local apt=$build/apt sorgenti=$build/sorgenti
    rm -rf "$apt" "$sorgenti" "$build/libzip-build"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$sorgenti"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $(mirror_debian) bookworm main" \
        >"$apt/sources.list"
    local opzioni=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/nessuna"
        -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "APT::Sandbox::User=root")
    zitto apt-get "${opzioni[@]}" update
    (cd "$sorgenti" && zitto apt-get "${opzioni[@]}" source libzip)
    local albero
    albero=$(echo "$sorgenti"/libzip-*/)
    [[ -f "$albero/CMakeLists.txt" ]] || { echo "prepara-windows: no libzip source tree in $sorgenti" >&2; return 1; }
    zitto cmake -S "$albero" -B "$build/libzip-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$dipendenze" -DBUILD_SHARED_LIBS=OFF \
        -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF \
        -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
        -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF -Wno-dev
    zitto cmake --build "$build/libzip-build" -j "$(nproc)"
    zitto cmake --install "$build/libzip-build"
    rm -rf "$apt" "$sorgenti" "$build/libzip-build"
    basename "$albero" >"$dipendenze/.libzip"
}

costruisci_googletest() {
    local versione
    versione=$(dpkg-query -W -f='${Version}' googletest)
    rm -rf "$build/googletest-build"
    zitto cmake -S /usr/src/googletest -B "$build/googletest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$dipendenze" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
    zitto cmake --build "$build/googletest-build" -j "$(nproc)"
    zitto cmake --install "$build/googletest-build"
    rm -rf "$build/googletest-build"
    touch "$dipendenze/.googletest-$versione"
}

costruisci_progetto() {
    cmake -S "$radice" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j "$(nproc)"
}

passo "packages" installa_mancanti "${PACCHETTI[@]}"
mkdir -p "$dipendenze"
# Each library is built once; its stamp says from what.
[[ -e "$dipendenze/.libzip" ]] || passo "libzip" costruisci_libzip
[[ -e "$dipendenze/.googletest-$(dpkg-query -W -f='${Version}' googletest)" ]] ||
    passo "googletest" costruisci_googletest
passo "build-win" costruisci_progetto
