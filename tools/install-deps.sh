#!/usr/bin/env bash
# Installs the Debian packages that are missing: those the program needs to build and run, with
# --tests also those its tests, benchmarks and packaging checks need, with --fuzz clang and its
# libFuzzer runtime for tools/fuzz.sh, and with --fixtures the word processors that made the RTF
# test files. Needs root or sudo.
set -euo pipefail

# To build and run the program.
packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev qt6-qpa-plugins
  libjpeg62-turbo-dev
  libcanberra-dev
  pybind11-dev python3-dev python3-numpy
)

# To run the tests and benchmarks and check the installed tree.
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils fonts-dejavu-core
  openbox
  clang-format
  desktop-file-utils appstream
  python3-pytest python3-distributed parallel strace
  poppler-utils
)
for option in "$@"; do
  case "$option" in
    --tests) packages+=("${test_packages[@]}") ;;
    --fuzz) packages+=(clang clang-14 libclang-rt-14-dev) ;;
    # To make the word processors' RTF test files again (tests/data/rtf/README.md).
    --fixtures) packages+=(pandoc libreoffice-writer) ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "Some packages are missing and installing them needs root: as root, run" \
      "'apt-get install ${missing[*]}', then run this command again." >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
