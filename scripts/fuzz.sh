#!/bin/bash
# Runs the PDF reader's fuzz targets (build/fuzz, "fuzz" preset) one after another, niced, each
# until it has used CPU_SECONDS of processor time (or WALL_LIMIT seconds have passed, or it found
# a crash), and prints per target: processor seconds used, executions, executions per second,
# coverage (libFuzzer's cov and ft), crashes (crash, leak, timeout and out-of-memory inputs) and
# slow units (inputs that took over 10 s: on a busy machine, often the machine).
#   scripts/fuzz.sh CPU_SECONDS [TARGET...]      TARGET: flate lzw ... jpx ccitt document (default: all)
# Environment: FUZZ_BUILD (default build/fuzz), FUZZ_WORK (corpora and findings, default
# FUZZ_BUILD/fuzz-work), WALL_LIMIT (default 20 x CPU_SECONDS), NICE (default 10).
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cpu=${1:?usage: $0 CPU_SECONDS [TARGET...]}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(flate lzw ascii_hex ascii85 run_length predictor object_parser
                                     xref cmap sfnt fonts content_text content_drawing security
                                     jpx ccitt jbig2 document)
build=${FUZZ_BUILD:-$here/build/fuzz}
work=${FUZZ_WORK:-$build/fuzz-work}
wall=${WALL_LIMIT:-$((cpu * 20))}
ticks=$(getconf CLK_TCK)
seeds=$work/seeds
[ -d "$seeds" ] || "$build/tests/fuzz/make_fuzz_seeds" "$seeds" >/dev/null
printf '%-14s %8s %12s %10s %8s %8s %8s %s\n' target cpu_s executions exec/s cov ft crashes slow
for target in "${targets[@]}"; do
  exe=$build/tests/fuzz/${target}_fuzzer
  [ "$target" = document ] && exe=$build/tests/fuzz/pdf_fuzzer
  corpus=$work/corpus/$target findings=$work/findings/$target log=$work/logs/$target.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  nice -n "${NICE:-10}" "$exe" -dict="$here/tests/fuzz/pdf.dict" -max_len=65536 -timeout=20 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" \
    "$seeds/$target" > "$log" 2>&1 &
  pid=$!
  started=$SECONDS used=0
  while kill -0 "$pid" 2>/dev/null; do
    sleep 2
    stat=$(cat "/proc/$pid/stat" 2>/dev/null) || break
    read -r -a fields <<< "${stat##*) }"
    used=$(( (fields[11] + fields[12]) / ticks ))
    if [ "$used" -ge "$cpu" ] || [ $((SECONDS - started)) -ge "$wall" ]; then
      kill -INT "$pid" 2>/dev/null
    fi
  done
  wait "$pid" 2>/dev/null
  last=$(grep -E '^#[0-9]+.*cov:' "$log" | tail -1)
  execs=$(sed -n 's/^#\([0-9]*\).*/\1/p' <<< "$last")
  rate=$(sed -n 's/.*exec\/s: \([0-9]*\).*/\1/p' <<< "$last")
  # The final statistics count every execution; the status lines stop at the last power of two.
  total=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\)/\1/p' "$log")
  average=$(sed -n 's/^stat::average_exec_per_sec: *\([0-9]*\)/\1/p' "$log")
  execs=${total:-$execs} rate=${average:-$rate}
  cov=$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' <<< "$last")
  ft=$(sed -n 's/.*ft: \([0-9]*\).*/\1/p' <<< "$last")
  crashes=$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
             -o -name 'oom-*' \) | wc -l)
  slow=$(find "$findings" -type f -name 'slow-unit-*' | wc -l)
  printf '%-14s %8s %12s %10s %8s %8s %8s %s\n' "$target" "$used" "${execs:-0}" "${rate:-0}" \
    "${cov:-0}" "${ft:-0}" "$crashes" "$slow"
done
