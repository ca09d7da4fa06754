#!/usr/bin/env bash
# Converts the same documents with two build folders and compares the PDFs:
# pages and page sizes, document information, link annotations and their
# targets, jumps and the outline (bench/pdfstructure.py), and the text with
# every word's position (pdftotext -bbox). Prints one line per document and
# exits 1 when any differs. The documents: examples/, the conversion
# benchmark's (10 to 5,000 pages) and the manual benchmark's (10 to 200 pages),
# written by NEW's benchmark programs.
#
#   bench/compare-builds.sh OLD NEW       e.g. ../main/build build
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: bench/compare-builds.sh OLD-BUILD NEW-BUILD" >&2
  exit 2
fi
old=$(realpath "$1")
new=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

mkdir -p "$work/documents"
cp "$here"/../examples/*.html "$work/documents/"
"$new/bench/conversion_bench" --write-documents "$work/documents" ${QUIREX_COMPARE_PAGES:-}
"$new/bench/manual_bench" --write-documents "$work/documents"

# Each build converts with its own registry, so neither finds the other's engine.
convert() {
  local build=$1 side=$2
  mkdir -p "$work/$side"
  export QUIREX_REGISTRY="$work/$side-registry.ini"
  "$build/bin/regsvr" -s "$build/bin/quirex.so"
  for input in "$work"/documents/*.html; do
    local name
    name=$(basename "$input" .html)
    printf 'create quirex.QUIREX\nput OutputFileName "%s"\ncall BeginDoc\ncall LoadHTMLFile "%s"\ncall ConvertAll\ncall EndDoc\nrelease\n' \
      "$work/$side/$name.pdf" "$input" | "$build/bin/quirexscript"
    python3 "$here/pdfstructure.py" "$work/$side/$name.pdf" >"$work/$side/$name.structure"
    pdftotext -bbox "$work/$side/$name.pdf" - | grep -v '<meta\|<title>' >"$work/$side/$name.words"
  done
}
convert "$old" old
convert "$new" new

status=0
for input in "$work"/documents/*.html; do
  name=$(basename "$input" .html)
  pages=$(sed -n 's/^pages //p' "$work/new/$name.structure")
  links=$(grep -c '^  annot' "$work/new/$name.structure" || true)
  outline=$(grep -c 'outline' "$work/new/$name.structure" || true)
  words=$(grep -c '<word' "$work/new/$name.words" || true)
  if cmp -s "$work/old/$name.structure" "$work/new/$name.structure" &&
     cmp -s "$work/old/$name.words" "$work/new/$name.words"; then
    verdict=same
  else
    verdict=DIFFERENT
    status=1
    diff "$work/old/$name.structure" "$work/new/$name.structure" | head -5 || true
    diff "$work/old/$name.words" "$work/new/$name.words" | head -5 || true
  fi
  printf '%-18s %9s  %5s pages %7s words %6s links %5s outline items\n' \
    "$name" "$verdict" "$pages" "$words" "$links" "$outline"
done
exit $status
