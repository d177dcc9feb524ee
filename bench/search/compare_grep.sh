#!/usr/bin/env bash
# Runs the search benchmark, then grep -r -l over the same pages converted to
# UTF-8 (written by the benchmark), and prints the ratio of the two.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${BUILD_DIR:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
out="$(wine "$build/bench/search/search_bench.exe" "Z:${work//\//\\}")"
echo "$out"
word="$(echo "$out" | awk '/^search word/ {print $3}')"
start=$(date +%s.%N)
grep -r -l zanzibar "$work/utf8" >/dev/null || true
grep_word=$(echo "$(date +%s.%N) - $start" | bc)
start=$(date +%s.%N)
grep -r -l -E 'zan+zi[bp]ar' "$work/utf8" >/dev/null || true
grep_pattern=$(echo "$(date +%s.%N) - $start" | bc)
pattern="$(echo "$out" | awk '/^search pattern/ {print $3}')"
printf 'grep -r -l word     %.3f s  (search/grep %.1f)\n' "$grep_word" "$(echo "$word / $grep_word" | bc -l)"
printf 'grep -r -l pattern  %.3f s  (search/grep %.1f)\n' "$grep_pattern" "$(echo "$pattern / $grep_pattern" | bc -l)"
