#!/usr/bin/env bash
# Runs the whole test suite, installing and building first as needed; with
# --sanitize, the same suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/), where any sanitizer report fails
# the test that caused it.
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  --sanitize) build="build-asan" ;;
  "") build="build" ;;
  *) echo "usage: scripts/test.sh [--sanitize]" >&2; exit 2 ;;
esac
scripts/install-deps.sh
scripts/build.sh "$@"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600
