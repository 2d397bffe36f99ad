#!/usr/bin/env bash
# Sets up everything and runs the main job on built-in sample data: velantrix demo renders a
# sample video, builds an experiment for it, analyses it and prints the results.
#   scripts/demo.sh [DIR]   the files go to DIR (default: a new velantrix-demo folder here)
set -euo pipefail
here=$PWD
cd "$(dirname "$0")/.."
root=$PWD
scripts/install-deps.sh
# The build's progress is kept quiet; when it fails, its output says why.
if ! build_log=$(scripts/build.sh --release 2>&1); then
  printf '%s\n' "$build_log" >&2
  echo "scripts/demo.sh: the build failed (output above)." >&2
  exit 1
fi
cd "$here"
exec "$root/build/apps/velantrix/velantrix" demo "$@"
