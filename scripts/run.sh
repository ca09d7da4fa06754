#!/usr/bin/env bash
# Set-up and main job: installs what is missing, builds, and converts the
# example document in examples/ to PDF with the command-line converter.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

build/bin/quirexdesk examples/welcome.html build/welcome.pdf
echo "Converted examples/welcome.html to build/welcome.pdf"
