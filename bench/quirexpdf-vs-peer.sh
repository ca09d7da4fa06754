#!/usr/bin/env bash
# The same 20 documents (tests/data/real and pages of Debian's cmake-doc,
# haproxy-doc and apache2-doc) converted by build/bin/quirexpdf and by
# wkhtmltopdf with the same options (A4, 10 mm margins, a footer with
# [page]/[topage]), ROUNDS rounds (3) alternating which program goes first.
# Prints a Markdown table: the median wall time and the peak resident memory
# (/usr/bin/time -v) of each, their ratio, and the geometric mean of the time
# ratios. wkhtmltopdf is the yardstick only: installed here for this
# benchmark, it is no dependency of the product.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${ROUNDS:-3}
need=()
command -v wkhtmltopdf >/dev/null 2>&1 || need+=(wkhtmltopdf)
[ -x /usr/bin/time ] || need+=(time)
for package in cmake-doc haproxy-doc apache2-doc; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    need+=("$package")
done
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing: ${need[*]}; run as root: apt-get install -y ${need[*]}" >&2
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

cmake=/usr/share/doc/cmake-doc/html
haproxy=/usr/share/doc/haproxy-doc/html
apache=/usr/share/doc/apache2-doc/manual/en
documents=(
  tests/data/real/cmake/command/add_compile_options.html
  tests/data/real/cmake/index.html
  tests/data/real/haproxy/intro.html
  $cmake/manual/cmake-language.7.html
  $cmake/manual/cmake-buildsystem.7.html
  $cmake/guide/tutorial/index.html
  $cmake/command/add_custom_command.html
  $cmake/command/if.html
  $haproxy/intro.html
  $haproxy/management.html
  $apache/mod/core.html
  $apache/mod/mod_rewrite.html
  $apache/mod/mod_proxy.html
  $apache/mod/mod_ssl.html
  $apache/mod/quickreference.html
  $apache/mod/mod_lua.html
  $apache/developer/API.html
  $apache/install.html
  $apache/caching.html
  $apache/mod/mod_cache.html
)
options=(-q -s A4 -T 10mm -B 10mm -L 10mm -R 10mm --footer-center "[page]/[topage]")
# The peer's build refuses a file input's own style sheets, scripts and
# images unless told otherwise, and prints the bare text: not the same work.
# Both are given local file access, so both print the same document;
# ACCESS=default leaves each program its own default.
if [ "${ACCESS:-same}" = same ]; then options+=(--enable-local-file-access); fi

export QUIREX_REGISTRY=${QUIREX_REGISTRY:-$PWD/build/registry.ini}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One run: "SECONDS KIB PAGES" of PROGRAM converting DOCUMENT.
measure() {
  local program=$1 document=$2 out=$work/out.pdf
  rm -f "$out"
  # The peer ends with code 1 for a resource it cannot fetch although it
  # wrote the PDF; only a missing PDF counts as a failure.
  /usr/bin/time -v -o "$work/time.txt" "$program" "${options[@]}" "$document" "$out" \
    >/dev/null 2>"$work/err.txt" || true
  if ! head -c 5 "$out" 2>/dev/null | grep -q '%PDF-'; then
    echo "$program wrote no PDF of $document:" >&2
    cat "$work/err.txt" >&2
  fi
  local wall kib pages
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt" |
    awk -F: '{ s = 0; for (i = 1; i <= NF; ++i) s = s * 60 + $i; print s }')
  kib=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
  pages=$(pdfinfo "$out" 2>/dev/null | sed -n 's/^Pages: *//p')
  echo "$wall $kib ${pages:-0}"
}

results=$work/results.txt
: >"$results"
for document in "${documents[@]}"; do
  for round in $(seq 1 "$rounds"); do
    if [ $((round % 2)) -eq 1 ]; then order=(build/bin/quirexpdf wkhtmltopdf); else order=(wkhtmltopdf build/bin/quirexpdf); fi
    for program in "${order[@]}"; do
      echo "$document $(basename "$program") $(measure "$program" "$document")" >>"$results"
    done
  done
done

/usr/bin/python3 - "$results" <<'PY'
import math, statistics, sys
runs = {}
for line in open(sys.argv[1]):
    document, program, wall, kib, pages = line.split()
    runs.setdefault(document, {}).setdefault(program, []).append((float(wall), int(kib), int(pages)))
print("| document | pages (ours / peer) | time ours s | time peer s | ratio | peak RSS ours MiB | peak RSS peer MiB |")
print("|---|---|---|---|---|---|---|")
ratios = []
for document, by in runs.items():
    ours, peer = by["quirexpdf"], by["wkhtmltopdf"]
    t_ours = statistics.median(r[0] for r in ours)
    t_peer = statistics.median(r[0] for r in peer)
    ratio = t_ours / t_peer if t_peer > 0 else float("nan")
    ratios.append(ratio)
    name = "/".join(document.split("/")[-2:])
    print("| %s | %d / %d | %.2f | %.2f | %.2f | %.0f | %.0f |" % (
        name, ours[0][2], peer[0][2], t_ours, t_peer, ratio,
        max(r[1] for r in ours) / 1024, max(r[1] for r in peer) / 1024))
print()
print("geometric mean of the time ratios: %.2f" % math.exp(sum(math.log(r) for r in ratios) / len(ratios)))
PY
