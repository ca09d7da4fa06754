#!/usr/bin/env bash
# Configures and builds everything with the CMake presets: preset dev into build/ (programs and
# component libraries in build/bin), ci instead when CI=true (warnings as errors); with
# --sanitize, the AddressSanitizer and UndefinedBehaviorSanitizer build (preset asan) into
# build-asan/. QUIREX_BUILD_TYPE, when set, overrides the preset's build type.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=dev
if [ "${CI:-}" = "true" ]; then
  preset=ci
fi
case "${1:-}" in
  --sanitize) preset=asan ;;
  "") ;;
  *) echo "usage: scripts/build.sh [--sanitize]" >&2; exit 2 ;;
esac
extra=()
# A compiler cache, when the machine has one, makes rebuilds of other
# checkouts of the same sources cheap.
if command -v ccache >/dev/null 2>&1; then
  extra+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ -n "${QUIREX_BUILD_TYPE:-}" ]; then
  extra+=(-DCMAKE_BUILD_TYPE="$QUIREX_BUILD_TYPE")
fi
# The sanitizer build has no preset of its own for CI; it fails on warnings there too.
if [ "$preset" = asan ] && [ "${CI:-}" = "true" ]; then
  extra+=(-DQUIREX_WARNINGS_AS_ERRORS=ON)
fi
cmake --preset "$preset" "${extra[@]}" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
