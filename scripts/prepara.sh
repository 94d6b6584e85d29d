#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then
# configures build/ and builds with every core. Sourced by ./demo and ./test.
set -euo pipefail

PACCHETTI=(
  build-essential cmake pkg-config
  libfltk1.3-dev libgtest-dev zlib1g-dev
  libcurl4-openssl-dev libzip-dev
  liblnk-utils xvfb xdotool x11-utils imagemagick fonts-liberation libxfixes-dev
  zip unzip curl procps time
  clang libclang-rt-14-dev
)

radice=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$radice/scripts/pacchetti.sh"
installa_mancanti "${PACCHETTI[@]}"

cmake -S "$radice" -B "$radice/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$radice/build" -j "$(nproc)"
