#!/usr/bin/env bash
# Configures and builds everything into build/ (programs and component
# libraries in build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
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
cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" "${extra[@]}" >/dev/null
cmake --build build -j "$(nproc)"
