#!/usr/bin/env bash
# Builds the Debian package: a release build without tests in build-package/, then
# cpack -G DEB there. Prints the package's path; runs lintian on it when lintian is installed.
#
#   scripts/package.sh            then, as root:  apt-get install ./build-package/quirex_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DQUIREX_BUILD_TESTS=OFF \
  -DQUIREX_BUILD_BENCH=OFF -DQUIREX_REGISTER_COMPONENTS=OFF "${launcher[@]}"
cmake --build build-package -j"${JOBS:-2}"
(cd build-package && cpack -G DEB)
package=$(ls -t build-package/quirex_*.deb | head -n 1)
if command -v lintian >/dev/null; then
  lintian --fail-on error "$package"
else
  echo "lintian is not installed; the package was not checked" >&2
fi
echo "$package"
