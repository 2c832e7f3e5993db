#!/usr/bin/env bash
# Configures and builds into the folder given (default: build), with extra CMake options after it.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-build}"
shift || true
# Let ccache share results between checkouts in different folders.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
cmake -S "$here" -B "$here/$dir" -G Ninja "$@" >/dev/null
cmake --build "$here/$dir" -j "$(nproc)"
