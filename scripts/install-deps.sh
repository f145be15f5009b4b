#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, test, fuzz and run Brisden.
# Idempotent; prints nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev
  libgtest-dev libbenchmark-dev
  # the user manual: the Qt Help library, qhelpgenerator, and the SQLite driver the help engine reads its collection with
  qt6-tools-dev qt6-documentation-tools libqt6sql6-sqlite
  xauth xvfb
  # checking the printed reports written as PDF: pdftotext
  poppler-utils
  # the sanitizer build and the fuzz targets: clang with its runtimes and libFuzzer
  clang libclang-rt-14-dev libfuzzer-14-dev
  # raw printer codes go through libcups; the tests run a private CUPS server,
  # scripts/cups-sandbox.sh, whose test printer is a small Python listener
  libcups2-dev cups cups-bsd printer-driver-cups-pdf python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
