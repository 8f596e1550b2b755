#!/usr/bin/env bash
# Installs every Debian package the runtime needs to build, run and test.
# Idempotent: runs apt-get only when a package is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  # The tests check that the tree is laid out as .clang-format says.
  clang-format
  # The build links with lld when it is there (much faster than the default linker).
  lld
  libsdl2-dev
  # The display asks the X server for a full-screen window's real size.
  libx11-dev
  libfreetype-dev libfontconfig-dev fonts-ipafont-gothic fonts-ipafont-mincho
  libfluidsynth-dev timgm6mb-soundfont
  libvorbis-dev
  libboost-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # xvfb-run needs xauth, which xvfb only recommends; installs here skip recommends.
  xvfb xauth xdotool x11-xserver-utils imagemagick
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

# sudo drops the environment, so the non-interactive front-end is passed through env.
APT=(env DEBIAN_FRONTEND=noninteractive apt-get)
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo > /dev/null 2>&1; then
    echo "install-deps: these packages are missing: ${missing[*]}" >&2
    echo "install-deps: run this script as root or install sudo" >&2
    exit 1
  fi
  APT=(sudo "${APT[@]}")
fi

echo "Installing: ${missing[*]}"
"${APT[@]}" update -qq
"${APT[@]}" install -y -qq --no-install-recommends "${missing[@]}"
