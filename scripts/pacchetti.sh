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
    # A mirror in the middle of a sync serves an index that fails its hash
    # for a minute or so: try again before giving up, and then let the
    # install say what it cannot find.
    local tentativo
    for tentativo in 1 2 3; do
        apt-get update -qq && break
        echo "apt-get update failed (attempt $tentativo); trying again" >&2
        sleep $((tentativo * 10))
    done
    apt-get install -y -qq --no-install-recommends "${mancanti[@]}" >/dev/null && return 0
    # Packages of two architectures must come at one version. When one
    # architecture's index of the security updates could not be read, the
    # updates cannot be matched; the release itself always can.
    local rilascio
    rilascio=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [[ -n "$rilascio" ]] || return 1
    echo "Installing from $rilascio alone, where both architectures' versions match" >&2
    apt-get install -y -qq --no-install-recommends -t "$rilascio" "${mancanti[@]}" >/dev/null
}
