#!/usr/bin/env bash
# Runs every libFuzzer entry of the project for QUIREX_FUZZ_SECONDS (60) seconds each, when
# clang is installed (otherwise says so and succeeds). Entries are found, not listed: every
# CTest test named fuzz_NAME_replay is an entry, its program is fuzz_NAME, and the folders the
# test replays are its corpus (see quirex_add_fuzz_entry in tests/CMakeLists.txt).
#
#   scripts/fuzz.sh [--merge] [NAME...]
#
# New inputs go to build-fuzz/NAME/corpus, inputs that fail to build-fuzz/NAME/findings.
# --merge then adds to the checked-in corpus (tests/data/fuzz/...) the new inputs that reach
# code its files do not; commit them, so CTest replays them from then on.
# Exits 1 when an entry found a failing input.
set -euo pipefail
cd "$(dirname "$0")/.."

merge=false
only=()
for argument in "$@"; do
  case "$argument" in
    --merge) merge=true ;;
    -*) echo "usage: scripts/fuzz.sh [--merge] [NAME...]" >&2; exit 2 ;;
    *) only+=("$argument") ;;
  esac
done

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz.sh: clang++ is not installed; no fuzzing (apt-get install clang)"
  exit 0
fi

seconds=${QUIREX_FUZZ_SECONDS:-60}
build="build-fuzz"
extra=()
if command -v ccache >/dev/null 2>&1; then
  extra+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUIREX_BUILD_BENCH=OFF -DQUIREX_REGISTER_COMPONENTS=OFF "${extra[@]}" >/dev/null

# Lists the entries into $build/fuzz-entries.txt: name, then the corpus folders.
list_entries() {
  ctest --test-dir "$build" --show-only=json-v1 >"$build/tests.json"
  cmake -DJSON_FILE="$build/tests.json" -DOUTPUT_FILE="$build/fuzz-entries.txt" \
    -P scripts/fuzzentries.cmake
}

names=()
list_entries
while IFS=$'\t' read -r name _; do
  [ -n "$name" ] || continue
  if [ ${#only[@]} -gt 0 ] && [[ ! " ${only[*]} " == *" $name "* ]]; then
    continue
  fi
  names+=("$name")
done <"$build/fuzz-entries.txt"
if [ ${#names[@]} -eq 0 ]; then
  echo "fuzz.sh: no fuzz entries found" >&2
  exit 1
fi
targets=()
for name in "${names[@]}"; do
  targets+=("$name" "${name}_replay")
done
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# CTest names a replay test's folders once its program exists.
declare -A corpora
list_entries
while IFS=$'\t' read -r name folders; do
  [ -n "$name" ] && corpora[$name]=$folders
done <"$build/fuzz-entries.txt"

failed=()
for name in "${names[@]}"; do
  program=$(find "$build" -type f -name "$name" -perm -u+x | head -n 1)
  if [ -z "$program" ]; then
    failed+=("$name")
    echo "== $name: no libFuzzer program was built" >&2
    continue
  fi
  work="$build/$name/corpus"
  findings="$build/$name/findings"
  mkdir -p "$work" "$findings"
  IFS=$'\t' read -r -a seeds <<<"${corpora[$name]:-}"
  echo "== $name: ${seconds}s over ${seeds[*]}"
  if ! "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$work" "${seeds[@]}" >"$build/$name/log.txt" 2>&1; then
    failed+=("$name")
    echo "   FAILED: see $build/$name/log.txt and $findings/"
  fi
  grep -E '^(stat::number_of_executed_units|stat::new_units_added)' "$build/$name/log.txt" |
    sed 's/^/   /' || true
  if $merge && [ ${#seeds[@]} -gt 0 ]; then
    "$program" -merge=1 "${seeds[0]}" "$work" >>"$build/$name/log.txt" 2>&1
    echo "   merged into ${seeds[0]}: $(find "${seeds[0]}" -type f | wc -l) files"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: failing inputs found by: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: ${#names[@]} entries ran ${seconds}s each without a failure"
