#!/usr/bin/env bash
# Checks that every tracked C++ source is formatted by the root .clang-format;
# with --fix, formats them instead. Exits 1 and names the files that differ.
set -euo pipefail
cd "$(dirname "$0")/.."
fix=false
case "${1:-}" in
  --fix) fix=true ;;
  "") ;;
  *) echo "usage: scripts/check-format.sh [--fix]" >&2; exit 2 ;;
esac
if ! command -v clang-format >/dev/null 2>&1; then
  echo "check-format.sh: clang-format is missing (apt-get install clang-format)" >&2
  exit 1
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.cpp.in' | grep -v '^tests/data/')
if $fix; then
  clang-format -i "${files[@]}"
  exit 0
fi
unformatted=()
for file in "${files[@]}"; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "check-format.sh: not formatted by .clang-format (scripts/check-format.sh --fix):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
echo "check-format.sh: ${#files[@]} sources formatted"
