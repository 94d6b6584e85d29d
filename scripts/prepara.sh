#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then
# configures build/ and builds with every core. Sourced by ./demo and ./test.
set -euo pipefail

PACCHETTI=(
  build-essential cmake pkg-config
  libfltk1.3-dev libgtest-dev zlib1g-dev
  libcurl4-openssl-dev libzip-dev libcpp-httplib-dev
  liblnk-utils xvfb xdotool x11-utils imagemagick fonts-liberation libxfixes-dev
  zip unzip curl procps time
)

mancanti=()
for p in "${PACCHETTI[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    mancanti+=("$p")
  fi
done
if ((${#mancanti[@]})); then
  if [[ $(id -u) -eq 0 ]]; then
    echo "Installing: ${mancanti[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${mancanti[@]}" >/dev/null
  else
    echo "Missing packages. Run:"
    echo "  sudo apt-get install ${mancanti[*]}"
    exit 1
  fi
fi

radice=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cmake -S "$radice" -B "$radice/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$radice/build" -j "$(nproc)"
