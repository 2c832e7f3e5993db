#!/usr/bin/env bash
# Runs each libFuzzer harness of fuzz/ for a while (default 20 seconds each, one after another),
# from the sanitizer build that tools/test.sh --sanitize makes. New inputs the fuzzers find go
# to a scratch folder; the seed corpus in fuzz/corpus/ (and examples/ for survey_file) is only read.
#   bash tools/fuzz.sh [SECONDS] [NAME...]      e.g.  bash tools/fuzz.sh 600 table_import
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
shift || true
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  names=(decimal numeric sql_translation survey_file table_import)
fi
build="$here/build-sanitize/fuzz"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
for name in "${names[@]}"; do
  mkdir -p "$scratch/$name"
  seeds=("$here/fuzz/corpus/$name")
  # The example surveys are survey files as the program writes them: seeds too, kept once.
  if [ "$name" = survey_file ]; then
    seeds+=("$here/examples")
  fi
  echo "fuzz: $name for ${seconds}s"
  if ! "$build/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$here/build-sanitize/fuzz/$name-" -print_final_stats=1 \
      "$scratch/$name" "${seeds[@]}" 2>"$scratch/$name.log"; then
    status=1
    tail -n 60 "$scratch/$name.log"
    echo "fuzz: $name FAILED; the input is kept as build-sanitize/fuzz/$name-*"
  else
    grep -E "^stat::number_of_executed_units|^Done" "$scratch/$name.log" || true
  fi
done
exit $status
