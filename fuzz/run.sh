#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a while on its seeds.
#   fuzz/run.sh [SECONDS]     SECONDS per target, 60 by default
# Exits non-zero when a target crashes, leaks, hangs or finds a wrong match;
# the input that did it is kept under $build/fuzz-findings/<target>/.
# Environment: TOPOVIL_FUZZ_BUILD_DIR (default build-fuzz in the checkout),
# TOPOVIL_SHARED_DIR (default ../shared next to the checkout), whose small
# Access fixtures are added to the seeds when they are there.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="${TOPOVIL_FUZZ_BUILD_DIR:-$root/build-fuzz}"
shared="${TOPOVIL_SHARED_DIR:-$root/../shared}"
seconds="${1:-60}"
targets=(fuzz_batch_input fuzz_like_pattern fuzz_open_database)

case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;;
esac

set -e
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
CC=clang CXX=clang++ cmake -S "$root" -B "$build" \
  -DTOPOVIL_FUZZ=ON -DTOPOVIL_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE= \
  $(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache) >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"
set +e

# The Access fixtures small enough to be mutated whole; the largest would
# only slow every run down.
max_len=131072
seeds_jet="$build/fuzz-seeds/open_database"
rm -rf "$seeds_jet"
mkdir -p "$seeds_jet"
for f in "$shared"/fixtures/insee-mdb/*.mdb; do
  [ -f "$f" ] && [ "$(stat -c %s "$f")" -le "$max_len" ] && ln -s "$(cd "$(dirname "$f")" && pwd)/$(basename "$f")" "$seeds_jet/"
done

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

status=0
for target in "${targets[@]}"; do
  name="${target#fuzz_}"
  corpus="$build/fuzz-corpus/$name"
  findings="$build/fuzz-findings/$target"
  mkdir -p "$corpus" "$findings"
  seed_dirs=("$here/corpus/$name")
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$findings/")
  if [ "$target" = fuzz_open_database ]; then
    seed_dirs+=("$seeds_jet")
    options+=(-max_len="$max_len")
  fi
  echo "== $target, $seconds s"
  "$build/fuzz/$target" "${options[@]}" "$corpus" "${seed_dirs[@]}"
  rc=$?
  if [ $rc -ne 0 ]; then
    echo "== $target FAILED (exit $rc); inputs in $findings" >&2
    status=1
  fi
done
exit $status
