#!/usr/bin/env bash
# Sets up everything and runs the main job on built-in sample data.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh --release >/dev/null
out_dir=${1:-demo-output}
mkdir -p "$out_dir"
exp="$out_dir/demo.vxdb"
rm -f "$exp"
build/apps/velantrix/velantrix new "$exp"
build/apps/velantrix/velantrix info "$exp"
