#!/bin/bash
# Builds the libFuzzer targets with clang in their own configuration and runs
# each for SECONDS seconds (30 if not given) from its seed corpus. Fails on
# any crash, broken property, sanitizer report, leak, time-out or
# out-of-memory; the input that did it is kept in BUILD/fuzz-artifacts.
#
#   tests/fuzz/run-fuzzers.sh [SECONDS] [TARGET...]
#
# What a run finds is kept in BUILD/fuzz-corpus/TARGET and read again by the
# next run, so several runs add up to one long one. BUILD is build-fuzz
# beside this repository's CMakeLists.txt, or VORTIQUO_FUZZ_BUILD.
set -euo pipefail

seconds=${1:-30}
shift || true
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS] [TARGET...]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${VORTIQUO_FUZZ_BUILD:-$root/build-fuzz}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(ParseNumberFuzzer CommandLineFuzzer RecipeTextFuzzer RecipeFileFuzzer)
fi

if ! grep -q '^VORTIQUO_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF -DVORTIQUO_FUZZ=ON
fi
cmake --build "$build" --target "${targets[@]}"

# The dictionary of each target, if it has one.
dictionary_of() {
  case $1 in
    CommandLineFuzzer) echo "$here/command-line.dict" ;;
    RecipeTextFuzzer | RecipeFileFuzzer) echo "$here/recipe.dict" ;;
  esac
}

passed=0
failed=0
for target in "${targets[@]}"; do
  corpus=$build/fuzz-corpus/$target
  artifacts=$build/fuzz-artifacts
  log=$build/fuzz-logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  options=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=512
           -print_final_stats=1 -artifact_prefix="$artifacts/$target-")
  dictionary=$(dictionary_of "$target")
  if [ -n "$dictionary" ]; then
    options+=(-dict="$dictionary")
  fi
  echo "== $target: $seconds s"
  # The grown corpus comes first: libFuzzer adds what it finds there, and
  # only reads the seeds kept in the repository.
  if "$build/tests/fuzz/$target" "${options[@]}" "$corpus" "$here/corpus/$target" >"$log" 2>&1; then
    passed=$((passed + 1))
    result=passed
  else
    failed=$((failed + 1))
    result=FAILED
    grep -v '^#' "$log" | tail -40 >&2
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  coverage=$(grep -E '^#[0-9]+[[:space:]]+(DONE|NEW|REDUCE|pulse|INITED)' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
  echo "$target $result: ${executions:-?} executions, ${coverage:-no coverage line}," \
       "corpus $(find "$corpus" -type f | wc -l) inputs; log in $log"
done
echo "fuzzing: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
