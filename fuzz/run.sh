#!/usr/bin/env bash
# Runs every fuzz target of the build folder BUILD for SECONDS each: the target named after each
# folder of seeds in fuzz/corpus, over those seeds and what earlier runs found in
# BUILD/corpus/<name>, with fuzz/<name>.dict where there is one. Further arguments go to every
# run. Crashing inputs land in BUILD/<name>-crash-*. Every target runs even when one fails.
# Usage: fuzz/run.sh BUILD SECONDS [libFuzzer flags...]
set -uo pipefail
build=$1
seconds=$2
shift 2
cd "$(dirname "$0")/.."

failed=()
for seeds in fuzz/corpus/*/; do
  name=$(basename "$seeds")
  found=$build/corpus/$name
  mkdir -p "$found"
  dict=()
  [[ -f fuzz/$name.dict ]] && dict=(-dict="fuzz/$name.dict")
  echo "=== fuzz target $name, $seconds s"
  # libpng reports every input that is not PNG on stderr; those lines are left out of the log.
  QT_QPA_PLATFORM=offscreen "$build/fuzz/quillet_fuzz_$name" -max_total_time="$seconds" \
    -timeout=25 -artifact_prefix="$build/$name-" "${dict[@]}" "$@" "$found" "$seeds" 2>&1 \
    | sed -u '/^libpng error/d' || failed+=("$name")
done

if ((${#failed[@]})); then
  echo "Fuzz targets that failed: ${failed[*]}" >&2
  exit 1
fi
