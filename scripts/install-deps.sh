#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the programs
# need, skipping those already installed. Without root it prints the command
# to run instead and fails.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qtbase5-dev libqt5webkit5-dev
  libfreetype-dev
  libgtest-dev googletest
  qpdf libqpdf-dev poppler-utils
  fonts-liberation2 xdg-utils
  xvfb xauth
  parallel
  clang-format
)
# The npm wrapper test runs Node; a Node installed from elsewhere brings its
# own npm, which Debian's npm package would conflict with.
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  packages+=(nodejs npm)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

command="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run as root: $command" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
