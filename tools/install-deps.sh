#!/usr/bin/env bash
# Installs the Debian packages Zentavo needs to build, run and test. Only
# apt-get; uses sudo when not root. Does nothing when all are present.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build ccache pkg-config
  libcairo2-dev libcups2-dev libgtk-3-dev libfontconfig-dev libfreetype-dev libjpeg62-turbo-dev
  fonts-liberation
  libgtest-dev libgmock-dev libbenchmark-dev
  # fuzzing
  clang libclang-rt-14-dev
  # end-to-end tests: private spooler, output readers, barcode oracles, the window
  cups-daemon cups-client poppler-utils zbar-tools zint libzint-dev
  python3-zxing-cpp python3-pil
  xvfb dbus at-spi2-core python3 python3-pyatspi desktop-file-utils file
  # script engine oracles: Free Pascal and node for the differential tests (g++ comes with
  # build-essential), Lua as the benchmark's peer
  fp-compiler nodejs lua5.4
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" = 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
