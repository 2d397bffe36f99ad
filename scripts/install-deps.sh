#!/usr/bin/env bash
# Installs everything Velantrix needs to build and test, from Debian packages only.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libsqlite3-dev sqlite3
  libopencv-core-dev libopencv-imgproc-dev libopencv-imgcodecs-dev libopencv-videoio-dev
  libmuparserx-dev libpolyclipping-dev libxlsxwriter-dev libinih-dev
  libminizip-dev libpugixml-dev libfreexl-dev libzip-dev qt6-base-dev
  libcli11-dev libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg time
)

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

export DEBIAN_FRONTEND=noninteractive
sudo_if_needed apt-get update -q
sudo_if_needed apt-get install -y -q --no-install-recommends "${packages[@]}"
