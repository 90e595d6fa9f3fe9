#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Zorvane
# need, and only those that are missing. Prints what it installs.
set -euo pipefail

pkgs=(
  cmake ninja-build g++ pkg-config make
  qt6-base-dev qt6-svg-dev libqt6svg6 libgl-dev libsndfile1-dev portaudio19-dev libasound2-dev
  nlohmann-json3-dev libsoxr-dev libfftw3-dev libaubio-dev librubberband-dev libfontconfig-dev
  libpocketsphinx-dev libsphinxbase-dev pocketsphinx-en-us libespeak-ng-dev espeak-ng-data
  libgtest-dev libgmock-dev libbenchmark-dev espeak-ng sox fluidsynth fluid-soundfont-gm
  pulseaudio pulseaudio-utils libasound2-plugins alsa-utils libpulse-dev
  xvfb xdotool x11-utils imagemagick fonts-liberation
  at-spi2-core python3-pyatspi
  clang-14 libclang-rt-14-dev
  appstream desktop-file-utils dpkg-dev file
  poppler-utils
)
[ "${1:-}" = "--run-only" ] && pkgs=(
  cmake ninja-build g++ pkg-config make
  qt6-base-dev qt6-svg-dev libqt6svg6 libgl-dev libsndfile1-dev portaudio19-dev libasound2-dev
  nlohmann-json3-dev libsoxr-dev libfftw3-dev libaubio-dev librubberband-dev libfontconfig-dev
  libpocketsphinx-dev libsphinxbase-dev pocketsphinx-en-us libespeak-ng-dev espeak-ng-data
  fonts-liberation
)

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Zorvane needs these Debian packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    SUDO=sudo
  else
    echo "Please install them first, then run make again:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
