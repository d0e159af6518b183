#!/usr/bin/env bash
# Installs the Debian packages the game, its tools and its tests need, and only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libpng-dev libjpeg62-turbo-dev libogg-dev libvorbis-dev
  libcairo2-dev libfreetype-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core
  xvfb xauth
)
# Extra packages named one per line in scripts/packages.txt (generators add their fonts there).
if [ -f "$(dirname "$0")/packages.txt" ]; then
  while read -r p; do
    p="${p%%#*}"; p="${p// /}"
    [ -n "$p" ] && packages+=("$p")
  done < "$(dirname "$0")/packages.txt"
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
