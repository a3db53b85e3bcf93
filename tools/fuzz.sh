#!/usr/bin/env bash
# Builds the fuzz targets of the input readers with clang (build-fuzz/) and runs each
# for SECONDS seconds on a copy of its seed corpus. Exits non-zero on a finding; the
# crashing inputs are left in build-fuzz/findings/<target>/.
#
#   tools/fuzz.sh [SECONDS] [TARGET...]      (default 20 s, every target)
#   FUZZ_SEED=N fixes libFuzzer's random seed (default 0: a new seed each run).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(text_input eulumdat ies surface_table grid installation_file)
fi
build="$root/build-fuzz"

if ! command -v clang++ >/dev/null 2>&1 || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "fuzz.sh: installing clang and libclang-rt-14-dev" >&2
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y clang libclang-rt-14-dev; else sudo apt-get install -y clang libclang-rt-14-dev; fi
fi

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  # The working corpus grows in build-fuzz; the seeds in fuzz/corpus stay as committed.
  cp -n "$root/fuzz/corpus/$target/"* "$corpus/" 2>/dev/null || true
  echo "== $target: ${seconds} s"
  if ! "$build/fuzz_$target" -max_total_time="$seconds" -seed="${FUZZ_SEED:-0}" -timeout=10 -rss_limit_mb=2048 \
      -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$corpus" >"$build/$target.log" 2>&1; then
    echo "!! $target: finding (log $build/$target.log, inputs in $findings/)"
    tail -n 40 "$build/$target.log"
    failed=1
  else
    grep -E "stat::number_of_executed_units|cov:" "$build/$target.log" | tail -n 2 || true
  fi
done
exit "$failed"
