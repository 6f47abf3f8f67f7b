#!/usr/bin/env bash
# Installs every Debian package the project builds, runs, packages and tests with, and the
# packages named on its command line (a script's own needs). Installs only what is missing and
# upgrades nothing that is there; non-interactive; safe to run as root on a fresh Debian 12.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  dpkg-dev file lintian
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  unixodbc unixodbc-dev odbc-postgresql
  libxml2-dev libxml2-utils libssl-dev
  libgtest-dev googletest
  nlohmann-json3-dev
  libxlsxwriter-dev
  postgresql postgresql-client
  poppler-utils unzip
  exfat-fuse exfatprogs ntfs-3g
  time
  clang-format clang-tidy shellcheck
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  SUDO=""
  [[ $(id -u) -eq 0 ]] || SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends --no-upgrade \
    "${missing[@]}"
fi
