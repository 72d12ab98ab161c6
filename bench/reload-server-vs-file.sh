#!/usr/bin/env bash
# Times the reload of one state into its file and into a database server, one
# after the other in one run, and prints the server's time over the file's.
#
#   bash bench/reload-server-vs-file.sh BUILD_DIR CONNINFO [COMPANIES]
#
# CONNINFO names a database the run may fill (its schema kora_pa is replaced);
# COMPANIES (300000 by default) as kora_load_bench's --companies.
set -euo pipefail
build=$(realpath "$1")
server=$2
companies=${3:-300000}

reload() {
    "$build/bench/kora_load_bench" --companies "$companies" "$@" | tee /dev/stderr |
        awk '$1 == "reload" { print $2 }'
}
file=$(reload)
onServer=$(reload --server "$server")
printf 'reload: file %.2f s, server %.2f s, ratio %.2f\n' "$file" "$onServer" \
    "$(echo "$onServer / $file" | bc -l)"
