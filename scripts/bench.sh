#!/usr/bin/env bash
# Builds Tarvelo and runs its benchmarks (all of them, or those named: the
# folder names below bench/, e.g. "cliproad") under Wine on a private Xvfb
# display, in the same prefix and display set-up as the tests. Prints each
# benchmark's output, then every figure that has a goal beside that goal.
# Installs what is missing first.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# Goals of the benchmarks whose output does not state one, and the lines of
# their output that hold the figures those goals are about.
declare -A STATED_GOALS=(
    [engine/engine_bench]="goal: parse+serialize at least 2x as fast as lxml, which gave no figure in this run (see its output)"
    [textfile]="no goal set"
)
declare -A FIGURE_LINES=(
    [engine/engine_bench]="^[^ ]|wall clock"
    [textfile]="MB/s"
)

available=()
for dir in "$TARVELO_ROOT"/bench/*/; do
    [ -f "$dir/CMakeLists.txt" ] && available+=("$(basename "$dir")")
done
wanted=("$@")
[ ${#wanted[@]} -eq 0 ] && wanted=("${available[@]}")
for name in "${wanted[@]}"; do
    if [[ ! " ${available[*]} " == *" $name "* ]]; then
        log "no benchmark named \"$name\"; there are: ${available[*]}"
        exit 2
    fi
done

# The engine benchmark compares with lxml, run by the system's Python.
if [[ " ${wanted[*]} " == *" engine "* ]]; then TARVELO_PACKAGES+=(python3-lxml); fi
ensure_packages
prepare_wine_halves
build
start_test_wine

summary=()
failed=0
for name in "${wanted[@]}"; do
    mapfile -t exes < <(find "$BUILD_DIR/bench/$name" -maxdepth 1 -name '*_bench.exe' | sort)
    if [ ${#exes[@]} -eq 0 ]; then
        log "$name: no *_bench.exe was built"
        failed=1
        continue
    fi
    for exe in "${exes[@]}"; do
        # A folder's figures are named by the folder; a second program in it adds its own name.
        label="$name"
        [ ${#exes[@]} -gt 1 ] && label="$name/$(basename "$exe" .exe)"
        log "$label: $(basename "$exe") (load average $(cut -d' ' -f1-3 /proc/loadavg))"
        output="$(mktemp)"
        if ! (cd "$(dirname "$exe")" && wine "$exe") 2>&1 | tr -d '\r' | tee "$output"; then
            failed=1
        fi
        goals="$(grep -i 'goal' "$output" || true)"
        if [ -n "$goals" ]; then
            while IFS= read -r line; do summary+=("$label: $line"); done <<<"$goals"
        else
            summary+=("$label: ${STATED_GOALS[$label]:-no goal stated}")
            while IFS= read -r line; do
                [ -n "$line" ] && summary+=("$label:   $line")
            done < <(grep -E "${FIGURE_LINES[$label]:-.}" "$output" || true)
        fi
        rm -f "$output"
    done
done

echo
echo "== figures beside their goals (load average $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%s\n' "${summary[@]}"
exit $failed
