#!/usr/bin/env bash
# Runs the libFuzzer targets in build/fuzz/fuzz, JOBS at a time, from their
# seeds (build/fuzz/seeds/<target>, written by the data-file writer at build
# time) and their committed corpus (fuzz/corpus/<target>: inputs that once
# found a fault). Both are read only.
#
#   tools/fuzz_run.sh smoke RUNS [JOBS]
#       The short fuzzing of `make test`: RUNS inputs per target from a fixed
#       seed per target, printed, with new inputs kept only for the run, so
#       the same seed repeats the same run. FUZZ_SEED=N uses N for every
#       target; FUZZ_TARGETS="fuzz_a fuzz_b" runs only those.
#   tools/fuzz_run.sh long SECONDS [JOBS]
#       `make fuzz`: SECONDS per target from a random seed (printed); new
#       inputs collect in build/fuzz/work/<target>.
#
# Exits non-zero when any target finds a fault; its reproducer is left in
# build/fuzz/smoke or build/fuzz/work and the way to repeat it is printed.
set -uo pipefail
mode=${1:-smoke}
amount=${2:-}
jobs=${3:-$(nproc)}
case "$mode" in
smoke) amount=${amount:-40000} ;;
long) amount=${amount:-60} ;;
*)
    echo "usage: tools/fuzz_run.sh smoke RUNS [JOBS] | long SECONDS [JOBS]" >&2
    exit 2
    ;;
esac
cd "$(dirname "$0")/.."

targets=()
for target in build/fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    if [ -n "${FUZZ_TARGETS:-}" ] && [[ " $FUZZ_TARGETS " != *" $name "* ]]; then continue; fi
    targets+=("$target")
done
[ ${#targets[@]} -gt 0 ] || {
    echo "no fuzz targets built"
    exit 0
}

# A target's own fixed seed: a checksum of its name, so adding a target
# leaves the others' runs as they were.
fixed_seed() {
    local sum
    sum=$(printf '%s' "$1" | cksum)
    echo $((${sum%% *} % 2147483646 + 1))
}

run_one() {
    local target=$1 mode=$2 amount=$3 name seed work log limit dirs=() fixed=()
    name=$(basename "$target")
    if [ "$mode" = smoke ]; then
        seed=${FUZZ_SEED:-$(fixed_seed "$name")}
        work="build/fuzz/smoke/$name"
        rm -rf "$work" "build/fuzz/smoke/$name-"*
        limit=(-runs="$amount" -seed="$seed" -reload=0)
        # Compared pointers feed the fuzzer's choices, so addresses must not
        # change between runs: no address randomisation where it can be off.
        setarch "$(uname -m)" -R true 2>/dev/null && fixed=(setarch "$(uname -m)" -R)
    else
        # libFuzzer's own choice; read back from its log below.
        seed=0
        work="build/fuzz/work/$name"
        limit=(-max_total_time="$amount" -seed=0)
    fi
    mkdir -p "$work"
    log="$work.log"
    dirs=("$work")
    [ -d "build/fuzz/seeds/$name" ] && dirs+=("build/fuzz/seeds/$name")
    [ -d "fuzz/corpus/$name" ] && dirs+=("fuzz/corpus/$name")
    if "${fixed[@]}" "$target" "${limit[@]}" -print_final_stats=0 -close_fd_mask=1 \
        -artifact_prefix="$work-" "${dirs[@]}" >"$log" 2>&1; then
        [ "$mode" = long ] && seed=$(grep -o 'Seed: [0-9]*' "$log" | head -1 | cut -d' ' -f2)
        echo "fuzz $name: seed $seed, $(grep -o 'Done [0-9]* runs' "$log" | tail -1 | cut -d' ' -f2) runs, no fault"
    else
        [ "$mode" = long ] && seed=$(grep -o 'Seed: [0-9]*' "$log" | head -1 | cut -d' ' -f2)
        echo "fuzz $name: seed $seed FOUND A FAULT:"
        tail -40 "$log"
        echo "fuzz $name: reproducer $(ls "$work-"* 2>/dev/null | head -1)"
        echo "fuzz $name: run it alone with: $target <reproducer>"
        if [ "$mode" = smoke ]; then
            echo "fuzz $name: repeat with: FUZZ_SEED=$seed FUZZ_TARGETS=$name tools/fuzz_run.sh smoke $amount"
        fi
        return 1
    fi
}
export -f run_one fixed_seed
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} "$mode" "$amount"
