#!/usr/bin/env bash
# Installs the packages, builds KORA, lays out a demo installation in ./demo
# and starts KORA there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
cmake --install build --prefix demo
[ -f demo/KORAPA.MDB ] || (cd demo && ./kora-batch demo)
exec ./demo/kora
