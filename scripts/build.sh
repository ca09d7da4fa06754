#!/usr/bin/env bash
# Configures and builds everything into build/ (programs and component
# libraries in build/bin); with --sanitize, the AddressSanitizer and
# UndefinedBehaviorSanitizer build (preset asan) into build-asan/.
set -euo pipefail
cd "$(dirname "$0")/.."
sanitize=false
case "${1:-}" in
  --sanitize) sanitize=true ;;
  "") ;;
  *) echo "usage: scripts/build.sh [--sanitize]" >&2; exit 2 ;;
esac
build_type=${QUIREX_BUILD_TYPE:-RelWithDebInfo}
extra=()
# A compiler cache, when the machine has one, makes rebuilds of other
# checkouts of the same sources cheap.
if command -v ccache >/dev/null 2>&1; then
  extra+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ "${CI:-}" = "true" ]; then
  extra+=(-DQUIREX_WARNINGS_AS_ERRORS=ON)
fi
if $sanitize; then
  cmake --preset asan "${extra[@]}" >/dev/null
  cmake --build build-asan -j "$(nproc)"
else
  cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" "${extra[@]}" >/dev/null
  cmake --build build -j "$(nproc)"
fi
