# Installs the Debian packages named (only those missing) when run as root;
# otherwise says what to install and fails. Sourced by the prepara scripts.
#   installa_mancanti PACKAGE...   (PACKAGE may carry an architecture: wine32:i386)
installa_mancanti() {
    local p mancanti=()
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            mancanti+=("$p")
        fi
    done
    ((${#mancanti[@]})) || return 0
    if [[ $(id -u) -ne 0 ]]; then
        echo "Missing packages. Run:"
        echo "  sudo apt-get install ${mancanti[*]}"
        return 1
    fi
    echo "Installing: ${mancanti[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # A package of another architecture needs that architecture known to
    # dpkg before apt's lists are read.
    for p in "${mancanti[@]}"; do
        if [[ "$p" == *:* ]] && ! dpkg --print-foreign-architectures | grep -qx "${p##*:}" &&
            [[ "${p##*:}" != "$(dpkg --print-architecture)" ]]; then
            dpkg --add-architecture "${p##*:}"
        fi
    done
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${mancanti[@]}" >/dev/null
}
