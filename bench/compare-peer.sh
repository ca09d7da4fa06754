#!/usr/bin/env bash
# Converts the generated manuals of build/bench/manual_bench through the
# engine and through wkhtmltopdf (--javascript-delay 0), alternating, and
# prints per-document times, the geometric-mean time ratio and peak memory.
# wkhtmltopdf is the yardstick only: it is installed here, for this
# benchmark, and is no dependency of the product.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v wkhtmltopdf >/dev/null 2>&1; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "wkhtmltopdf is missing; run as root: apt-get install -y wkhtmltopdf" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends wkhtmltopdf >/dev/null
fi
# The components as this build registered them.
export QUIREX_REGISTRY=${QUIREX_REGISTRY:-$PWD/build/registry.ini}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
exec build/bench/manual_bench build/bin/quirexscript wkhtmltopdf --javascript-delay 0 -q
