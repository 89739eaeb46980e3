#!/usr/bin/env bash
# Runs every libFuzzer target in build/fuzz/fuzz for SECONDS each, JOBS at a
# time. Each target first replays its committed corpus (fuzz/corpus/<target>,
# read only); new inputs collect in build/fuzz/work/<target>. Exits non-zero
# when any target finds a fault (its reproducer is left in build/fuzz/work).
set -uo pipefail
seconds=${1:-20}
jobs=${2:-$(nproc)}
cd "$(dirname "$0")/.."
targets=(build/fuzz/fuzz/fuzz_*)
[ -x "${targets[0]}" ] || { echo "no fuzz targets built"; exit 0; }

run_one() {
    local target=$1 seconds=$2 name
    name=$(basename "$target")
    mkdir -p "build/fuzz/work/$name" "fuzz/corpus/$name"
    if "$target" -max_total_time="$seconds" -print_final_stats=0 -close_fd_mask=1 \
        -artifact_prefix="build/fuzz/work/$name-" "build/fuzz/work/$name" "fuzz/corpus/$name" \
        > "build/fuzz/work/$name.log" 2>&1; then
        echo "fuzz $name: $(grep -o 'Done [0-9]* runs' "build/fuzz/work/$name.log" | tail -1), no fault"
    else
        echo "fuzz $name FOUND A FAULT:"
        tail -40 "build/fuzz/work/$name.log"
        return 1
    fi
}
export -f run_one
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} "$seconds"
