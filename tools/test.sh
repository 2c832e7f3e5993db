#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. With --sanitize it uses a separate build with
# AddressSanitizer and UndefinedBehaviorSanitizer, made with clang so that the libFuzzer
# harnesses of fuzz/ come out of the same build (tools/fuzz.sh runs them).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dir=build
opts=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  opts=(-DQUORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++)
fi
bash "$here/tools/setup.sh"
bash "$here/tools/build.sh" "$dir" "${opts[@]}"
cd "$here/$dir"
export ASAN_OPTIONS=detect_leaks=0
ctest --output-on-failure -j "$(nproc)" --timeout 300
