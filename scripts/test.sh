#!/usr/bin/env bash
# Installs the packages, builds KORA and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh
# The spreadsheet read-back tests open exports in LibreOffice (about 110 MB to
# fetch, so only here, not for every build); without it they skip.
if ! command -v soffice >/dev/null 2>&1; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    { $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq libreoffice-calc-nogui; } ||
        echo "libreoffice-calc-nogui could not be installed: the spreadsheet read-back tests skip"
fi
# A warning fails the build here, so none reaches main.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build
# Tests without a timeout of their own get five minutes.
ctest --test-dir build --output-on-failure -j2 --timeout 300
