#!/usr/bin/env bash
# Set-up and main job: installs what is missing, builds, and converts the
# example document in examples/ to PDF.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

input=examples/welcome.html
output=build/welcome.pdf
if [ -x build/bin/quirexdesk ]; then
  build/bin/quirexdesk "$PWD/$input" "$PWD/$output"
  echo "Converted $input to $output"
elif [ -x build/bin/quirexscript ]; then
  build/bin/quirexscript <<SCRIPT
create quirex.QUIREX
put OutputFileName "$PWD/$output"
call BeginDoc
call LoadHTMLFile "$PWD/$input"
call ConvertAll
call EndDoc
release
SCRIPT
  echo "Converted $input to $output"
else
  echo "Build finished. No converter program exists yet, so nothing was converted."
fi
