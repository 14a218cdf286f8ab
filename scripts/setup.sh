#!/usr/bin/env bash
# Installs the Debian packages Cantorix needs to build and test, when any is missing.
# Sourced by run.sh and test.sh.
set -euo pipefail

CANTORIX_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libmediainfo-dev libdiscid-dev zlib1g-dev scdoc
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libqt6svg6
  libgtest-dev googletest
)
# Tools the tests use to make tiny real audio files (and to measure them, mutagen reading tags as
# another tagger), the fonts/platform bits for offscreen
# windows, fpcalc for the fingerprints of the AcoustID tests, and the locale data from which the tests build a locale whose decimal separator is a comma.
CANTORIX_TEST_PACKAGES=(flac vorbis-tools lame ffmpeg wavpack musepack-tools clang libclang-rt-dev fonts-dejavu-core
  desktop-file-utils appstream xdg-utils locales python3-mutagen libchromaprint-tools)
# What the package check calls beyond the build: file (CPack's DEB generator sorts the programs out
# with it before dpkg-shlibdeps), readelf (binutils) and lintian.
CANTORIX_PACKAGE_CHECK_PACKAGES=(file binutils lintian)

cantorix_install() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}
