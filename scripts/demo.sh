#!/usr/bin/env bash
# Sets up everything and runs the main job on built-in sample data: velantrix demo renders a
# sample video, builds an experiment for it, analyses it and prints the results.
#   scripts/demo.sh [DIR]   the files go to DIR (default: a new velantrix-demo folder here)
set -euo pipefail
here=$PWD
cd "$(dirname "$0")/.."
root=$PWD
scripts/install-deps.sh
scripts/build.sh --release >/dev/null
cd "$here"
exec "$root/build/apps/velantrix/velantrix" demo "$@"
