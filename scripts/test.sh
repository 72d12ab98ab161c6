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
# A private PostgreSQL cluster for the server tests: a scratch folder, a Unix
# socket in it and no TCP port, stopped when the run ends however it ends.
pg_bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
cluster=$(mktemp -d /tmp/kora-test-server-XXXXXX)
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
    chown postgres "$cluster"
    as_owner=(runuser -u postgres --)
fi
stop_cluster() {
    "${as_owner[@]}" "$pg_bin/pg_ctl" -D "$cluster/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$cluster"
}
trap stop_cluster EXIT
"${as_owner[@]}" "$pg_bin/initdb" -D "$cluster/data" -A trust -U kora -E UTF8 --locale=C \
    >"$cluster/initdb.log"
# Durability is not tested here: the run goes faster without it.
"${as_owner[@]}" "$pg_bin/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w \
    -o "-c listen_addresses='' -k $cluster -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
    start >/dev/null
"${as_owner[@]}" "$pg_bin/createdb" -h "$cluster" -U kora kora
export KORA_TEST_SERVER="host=$cluster dbname=kora user=kora"
# Tests without a timeout of their own get five minutes.
ctest --test-dir build --output-on-failure -j2 --timeout 300
