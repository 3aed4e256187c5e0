#!/usr/bin/env bash
# Gives every fuzz target of a build a short run from its seed corpus.
# Usage: fuzz.sh BUILD_DIR SECONDS_PER_TARGET
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
seconds=${2:-15}
for target in "$build"/fuzz/fuzz_*; do
  [[ -x "$target" ]] || continue
  name=$(basename "$target")
  corpus=$(mktemp -d)
  seeds="$root/fuzz/corpus/${name#fuzz_}"
  [[ -d "$seeds" ]] && cp -r "$seeds"/. "$corpus"/
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=0 "$corpus" 2>"$corpus.log" || {
    tail -40 "$corpus.log"; echo "$name found a crash"; exit 1; }
  rm -rf "$corpus" "$corpus.log"
done
echo "fuzz: all targets held"
