#!/usr/bin/env bash
# Installs the Debian 12 packages that KORA builds and runs with.
set -euo pipefail
packages=(qt6-base-dev libqt6sql6-sqlite libsqlite3-dev libzip-dev zip xvfb xdotool imagemagick
          poppler-utils libxkbcommon-dev ninja-build libgtest-dev libbenchmark-dev pkg-config
          cmake g++ sqlite3 libxlsxwriter-dev qt6-charts-dev fonts-urw-base35 libpq-dev
          postgresql postgresql-contrib librsvg2-bin dpkg-dev file lintian appstream)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
