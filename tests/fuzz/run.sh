#!/usr/bin/env bash
# Builds the fuzz harnesses with clang and runs each for a bounded time, one
# after the other, then minimises its corpus into corpus/<harness>/.
#   tests/fuzz/run.sh [seconds-per-harness, default 60] [harness ...]
# FUZZ_BUILD sets the build folder (default build-fuzz in the repository);
# FUZZ_SKIP_BUILD=1 runs the harnesses built there as they are.
# Inputs that break a property or crash are kept in <build>/artifacts/; copy
# them to regressions/<harness>/ once the fault is fixed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${FUZZ_BUILD:-$root/build-fuzz}"
seconds="${1:-60}"
shift || true
harnesses=("$@")
((${#harnesses[@]})) || harnesses=(params_ini textfiles fields_web numbers_dates tables server_index signatures lang_files service_replies
  web_settings window_state command_line)

if [ -z "${FUZZ_SKIP_BUILD:-}" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="${CXX_FUZZ:-clang++}" -DCMAKE_CXX_COMPILER_LAUNCHER="$(command -v ccache || true)" >/dev/null
  # Only the harnesses: the program's own targets (its window part is a
  # module that a sanitizer build does not link) are not needed here.
  nice -n "${FUZZ_NICE:-19}" cmake --build "$build" -j1 --target "${harnesses[@]/#/fuzz_}"
fi

# Fonts are loaded once per process and kept by fontconfig.
export LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

status=0
for h in "${harnesses[@]}"; do
  corpus="$here/corpus/$h"
  work="$build/work/$h"
  artifacts="$build/artifacts"
  mkdir -p "$corpus" "$work" "$artifacts"
  log="$build/$h.log"
  echo "== $h: ${seconds}s"
  set +e
  (cd "$build" && nice -n "${FUZZ_NICE:-19}" "$build/fuzz_$h" "$work" "$corpus" \
      -max_total_time="$seconds" -max_len=4096 -timeout=20 -rss_limit_mb=2048 \
      -dict="$here/dicts/$h.dict" -artifact_prefix="$artifacts/$h-" -print_final_stats=1 \
      >"$log" 2>&1)
  rc=$?
  set -e
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  took="$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)"
  grep -E "property failed|ERROR: |runtime error" "$log" | head -5 || true
  echo "$(date -u +%FT%TZ) $h rc=$rc seconds=${took:-?} executions=${runs:-?}" | tee -a "$build/runs.txt"
  ((rc == 0)) || status=1

  # Keep only the inputs that add coverage.
  merged="$build/merged/$h"
  rm -rf "$merged" && mkdir -p "$merged"
  nice -n "${FUZZ_NICE:-19}" "$build/fuzz_$h" -merge=1 -max_len=4096 "$merged" "$corpus" "$work" >"$build/$h.merge.log" 2>&1 || true
  if [ -n "$(ls -A "$merged")" ]; then
    rm -rf "$corpus" && mv "$merged" "$corpus"
  fi
  rm -rf "$work"
done
exit $status
