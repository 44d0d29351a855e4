#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build folder and runs each for a set
# time from the corpus kept in tests/fuzz/corpus. New inputs the run finds go to a scratch
# folder, not into the repository; a crash, a leak, a time-out or a broken check stops the run
# with a non-zero status and leaves the input under <build>/findings.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=${2:-build-fuzz}
targets=(fuzz_ini fuzz_sntp fuzz_http_date fuzz_date_text fuzz_cal_args)

if [ ! -f "$build/build.ninja" ]; then
  CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTSUKIO_FUZZ=ON -DTSUKIO_WERROR=OFF >/dev/null
fi
cmake --build "$build" --target fuzz-targets

mkdir -p "$build/findings"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for target in "${targets[@]}"; do
  corpus=tests/fuzz/corpus/$target
  mkdir -p "$scratch/$target"
  echo "fuzz: $target for ${seconds}s"
  if ! "$build/tests/fuzz/$target" "$scratch/$target" "$corpus" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -max_len=4096 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
      >"$build/findings/$target.log" 2>&1; then
    echo "fuzz: $target found a fault; see $build/findings/$target.log" >&2
    tail -n 30 "$build/findings/$target.log" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units' "$build/findings/$target.log" | sed "s/^/  /" || true
  fi
done
exit $status
