#!/usr/bin/env bash
# Installs the packages, builds KORA and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh
# A warning fails the build here, so none reaches main.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build
# Tests without a timeout of their own get five minutes.
ctest --test-dir build --output-on-failure -j2 --timeout 300
