#!/usr/bin/env bash
# Sets up, builds, writes the delivered database beside the executable and starts the program.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/tools/setup.sh"
bash "$here/tools/build.sh" build
exec "$here/build/quorvane-lt" "$@"
