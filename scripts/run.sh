#!/usr/bin/env bash
# Set-up and main job: installs what is missing, builds, and converts the
# example document in examples/ to PDF with the command-line converter.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
# The build registers its components only in its own build/registry.ini;
# register both in this user's registry (QUIREX_REGISTRY when set), so that
# build/bin/quirexdesk finds its engine when run as it is.
for component in build/bin/quirex.so build/bin/pdfdocument.so; do
  build/bin/regsvr -s "$component"
done

build/bin/quirexdesk examples/welcome.html build/welcome.pdf
echo "Converted examples/welcome.html to build/welcome.pdf"
