#!/usr/bin/env bash
# The Wine suites on a busy machine: the end-to-end tests, both stress runs
# and the monitors suite, run RUNS times side by side as make test runs them
# (ctest -j CORES), while as many busy processes as the machine has cores keep
# every core busy at normal priority; then, per test, how many runs failed.
#
#   scripts/test-busy.sh BUILD_DIR [RUNS]     (make test-busy RUNS=5)
#
# BUILD_DIR is a native build with the Windows trees built (make dll tray64
# native). The Wine prefixes are made once, before the first run and without
# the busy processes. Each run's stress seed is drawn anew and printed, so that
# a failed stress run can be replayed with MARROWICK_STRESS_SEED=SEED make
# stress; MARROWICK_STRESS_SEED set gives every run that seed. Each run's
# CTest log stays in BUILD_DIR/test-busy/run-N.log, the logs and screenshots
# of its failed cases in run-N/.
set -euo pipefail

build=${1:?usage: test-busy.sh BUILD_DIR [RUNS]}
runs=${2:-5}
cores=$(nproc 2>/dev/null || echo 2)
out="$build/test-busy"
rm -rf "$out"
mkdir -p "$out"

busy_pids=()
stop_busy() {
    for pid in "${busy_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${busy_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    busy_pids=()
}
trap stop_busy EXIT INT TERM

start_busy() {
    for _ in $(seq "$cores"); do
        bash -c 'while :; do :; done' &
        busy_pids+=($!)
    done
}

echo "test-busy: $runs runs on $cores cores, $cores busy processes beside each"
ctest --test-dir "$build" -R '_wine_prefix$' --output-on-failure >"$out/prefixes.log" ||
    { cat "$out/prefixes.log" >&2; exit 1; }

# Each run: its seed, its CTest log, and in run-N.failed one line per failed
# CTest test ("ctest NAME") and per failed GoogleTest case ("case NAME").
for run in $(seq "$runs"); do
    seed=${MARROWICK_STRESS_SEED:-$((RANDOM * 32768 + RANDOM + 1))}
    echo "$seed" >"$out/run-$run.seed"
    start_busy
    start=$SECONDS
    # -FA: the prefixes are there, no fixture is added back.
    MARROWICK_STRESS_SEED=$seed ctest --test-dir "$build" -L '^(e2e|stress)$' -FA '.*' \
        -j "$cores" --output-on-failure >"$out/run-$run.log" 2>&1 || true
    stop_busy
    {
        sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .*\*\*\*\(Failed\|Timeout\|Exception\).*/ctest \1/p' \
            "$out/run-$run.log"
        sed -n 's/.*\[  FAILED  \] \([^ ,]*\) ([0-9]* ms)$/case \1/p' "$out/run-$run.log"
    } | sort -u >"$out/run-$run.failed"
    # The failed cases' own logs and screenshots, which the next run replaces.
    for name in $(sed -n 's/^case [^.]*\.//p' "$out/run-$run.failed"); do
        for dir in "$build"/e2e/"$name" "$build"/e2e-monitors/"$name"; do
            if [ -d "$dir" ]; then
                mkdir -p "$out/run-$run/$name"
                cp -r "$dir"/. "$out/run-$run/$name/"
            fi
        done
    done
    for name in stress stress-interactive; do
        if grep -qx "ctest e2e_${name/-/_}" "$out/run-$run.failed"; then
            mkdir -p "$out/run-$run"
            cp -r "$build/e2e/$name" "$out/run-$run/"
        fi
    done
    echo "test-busy: run $run of $runs, seed $seed, $((SECONDS - start)) s:" \
        "$(grep -c '^ctest ' "$out/run-$run.failed" || true) CTest tests failed"
done

# Every CTest test of the suites, then every case that failed in any run.
echo "test-busy: failed runs per test, of $runs"
tests=$(ctest --test-dir "$build" -N -L '^(e2e|stress)$' -FA '.*' | sed -n 's/^ *Test *#[0-9]*: //p')
cases=$(cat "$out"/run-*.failed | sed -n 's/^case //p' | sort -u)
total=0
report() {
    local kind=$1 name=$2 failed=0 where=""
    for run in $(seq "$runs"); do
        if grep -qxF "$kind $name" "$out/run-$run.failed"; then
            failed=$((failed + 1))
            where+=" run $run (seed $(cat "$out/run-$run.seed"))"
        fi
    done
    local note=""
    [ "$kind" = ctest ] && grep -q "^ *[0-9]*/[0-9]* Test *#[0-9]*: $name .*Skipped" "$out"/run-*.log &&
        note=" (skipped where this Wine cannot have it)"
    printf '  %-78s %d%s%s\n' "$name" "$failed" "${where:+ in}$where" "$note"
    [ "$kind" = case ] || total=$((total + failed))
}
for name in $tests; do report ctest "$name"; done
for name in $cases; do report case "$name"; done
echo "test-busy: $total failed test runs of $(($(wc -w <<<"$tests") * runs)); logs in $out/"
[ "$total" -eq 0 ]
