#!/usr/bin/env bash
# Runs each fuzz harness for a set time and prints the executions and the coverage reached.
#   fuzz/run.sh BUILD_FOLDER [SECONDS] [HARNESS...]
# Each harness starts from a scratch copy of its seed corpus, so the committed corpus stays as it
# is. What a run finds is kept under BUILD_FOLDER/fuzz-work/<harness>/artifacts/; save a finding
# under fuzz/regressions/<harness>/, where the reliability tests replay it on every test run
# (a fault not yet fixed would otherwise stop its harness at the first input, every time).
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: fuzz/run.sh BUILD_FOLDER [SECONDS] [HARNESS...]}" && pwd)"
seconds="${2:-60}"
shift $(( $# < 2 ? $# : 2 ))
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(fuzz_lbr_empty fuzz_lbr_append fuzz_usuario fuzz_dxcc fuzz_cty fuzz_journal fuzz_adi fuzz_adx fuzz_udp fuzz_rig fuzz_cluster)

export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/../tests/lsan.supp}"

dictionary() {
    case "$1" in
        fuzz_lbr_*) echo "$here/dict/lbr.dict" ;;
        fuzz_usuario) echo "$here/dict/usuario.dict" ;;
        fuzz_dxcc) echo "$here/dict/dxcc.dict" ;;
        fuzz_cty) echo "$here/dict/cty.dict" ;;
        fuzz_journal) echo "$here/dict/journal.dict" ;;
        fuzz_adi|fuzz_adx) echo "$here/dict/adif.dict" ;;
        fuzz_udp) echo "$here/dict/udp.dict" ;;
        fuzz_rig) echo "$here/dict/rig.dict" ;;
        fuzz_cluster) echo "$here/dict/cluster.dict" ;;
    esac
}

failed=0
report=()
for harness in "${harnesses[@]}"; do
    binary="$build/fuzz/$harness"
    if [ ! -x "$binary" ]; then
        echo "$harness: not built ($binary)" >&2
        failed=1
        continue
    fi
    work="$build/fuzz-work/$harness"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    cp "$here/corpus/$harness/"* "$work/corpus/"
    options=(-max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048
             -print_final_stats=1 -artifact_prefix="$work/artifacts/")
    dict="$(dictionary "$harness")"
    [ -n "$dict" ] && [ -f "$dict" ] && options+=(-dict="$dict")

    echo "== $harness: ${seconds} s"
    "$binary" "${options[@]}" "$work/corpus" >"$work/log" 2>&1
    status=$?

    # The last status line ("#N ... cov: C ft: F corp: K/...") holds the totals so far.
    last="$(grep -E '^#[0-9]+' "$work/log" | tail -n 1)"
    runs="$(grep -oE '^stat::number_of_executed_units: [0-9]+' "$work/log" | awk '{print $2}')"
    [ -n "$runs" ] || runs="$(echo "$last" | grep -oE '^#[0-9]+' | tr -d '#')"
    cov="$(echo "$last" | grep -oE 'cov: [0-9]+' | awk '{print $2}')"
    ft="$(echo "$last" | grep -oE 'ft: [0-9]+' | awk '{print $2}')"
    inputs="$(find "$work/corpus" -type f | wc -l)"
    line="$(printf '%-16s %10s executions  cov: %-5s ft: %-6s corpus: %s inputs' \
        "$harness" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$inputs")"
    if [ "$status" -ne 0 ]; then
        failed=1
        line="$line  FAULT"
        echo "--- $harness stopped (exit $status); the end of its log:" >&2
        tail -n 40 "$work/log" >&2
        for found in "$work/artifacts/"*; do
            [ -e "$found" ] && echo "input kept: $found (save it under fuzz/regressions/$harness/)" >&2
        done
    fi
    echo "$line"
    report+=("$line")
done

echo
echo "Fuzzing summary (${seconds} s each):"
printf '  %s\n' "${report[@]}"
exit "$failed"
