#!/usr/bin/env bash
# Builds the Debian package kora_<version>_amd64.deb in the current folder
# from the build in ./build (building the two programs when needed), and
# checks it with appstreamcli and lintian.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target kora kora-batch
rm -f build/kora_*.deb
(cd build && cpack -G DEB)
appstreamcli validate --no-net --strict packaging/org.kora.KORA.metainfo.xml
deb=$(ls build/kora_*_amd64.deb)
cp "$deb" .
lintian --fail-on error "$(basename "$deb")"
echo "Package ready: $(basename "$deb")"
