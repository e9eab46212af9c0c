#!/usr/bin/env bash
# Installs the Debian packages Strandex builds and runs with, only those that
# are missing. Quiet and quick when everything is present.
set -euo pipefail

packages=(
  cmake
  ninja-build
  g++
  make
  qt6-base-dev
  qt6-image-formats-plugins
  libtiff-dev
  libqt6svg6
  zlib1g-dev
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  xdg-utils
  locales
  desktop-file-utils
  dpkg-dev
  clang
  libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || {
    echo "install-deps: missing packages (${missing[*]}) and no sudo to install them" >&2
    exit 1
  }
  sudo=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "install-deps: done"
