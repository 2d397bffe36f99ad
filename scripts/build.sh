#!/usr/bin/env bash
# Configures and builds Velantrix with CMake and Ninja.
#   scripts/build.sh              release-with-debug-info build in build/
#   scripts/build.sh --sanitize   ASan + UBSan build in build-sanitize/ (what the tests use)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
case "${1:-}" in
  --sanitize) build_dir=build-sanitize; options=(-DCMAKE_BUILD_TYPE=Debug -DVX_SANITIZE=ON -DVX_BENCH=OFF) ;;
  --release) build_dir=build; options=(-DCMAKE_BUILD_TYPE=Release) ;;
  "") ;;
  *) echo "usage: scripts/build.sh [--sanitize|--release]" >&2; exit 2 ;;
esac

cmake -S . -B "$build_dir" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
echo "$build_dir"
