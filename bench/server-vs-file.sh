#!/usr/bin/env bash
# Times one state on its file and published to a database server in one run:
# publishing it, every lookup of the lookup benchmark and the result list, the
# file's figure beside the server's.
#
#   bash bench/server-vs-file.sh BUILD_DIR CONNINFO [COMPANIES]
#
# CONNINFO names a database the run may fill (its schema kora_pa is replaced);
# COMPANIES (300000 by default) synthetic employers are generated first; RUNS
# (5 by default) runs of each lookup give its median.
set -euo pipefail
build=$(realpath "$1")
server=$2
companies=${3:-300000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/kora_lookup_bench" --folder "$work/file" --state PA --generate "$companies" --runs 1 |
    grep -E '^generated'
cp -a "$work/file" "$work/server"
start=$(date +%s.%N)
"$build/src/batch/kora-batch" publish --folder "$work/server" --state PA --server "$server"
echo "published $companies companies in $(echo "$(date +%s.%N) - $start" | bc) s"
mv "$work/server/KORAPA.MDB" "$work/KORAPA.MDB.away"

# The median of each figure, the file's and the server's side by side.
medians() {
    awk '/^[^ ]/ { heading = $0 } / median / {
             label = $1; for (i = 2; $i != "min"; ++i) label = label " " $i
             for (i = 1; i <= NF; ++i) if ($i == "median") print heading " / " label "\t" $(i + 1) }
         /^(open on all|search box|scrolling|lookup tab)/ {
             # Each figure in ms with the words before it, a floor named after the figure it follows.
             split($0, part, ": "); n = split(part[2], word, " "); label = ""; last = ""
             for (i = 1; i <= n; ++i) {
                 if (word[i] ~ /^ms[),]*$/ && i > 1) {
                     if (label ~ /^\(floor$/) label = last " floor"; else last = label
                     print "result list / " part[1] " / " label "\t" word[i - 1] + 0; label = ""
                 } else if (i < n && word[i + 1] ~ /^ms/) {
                 } else {
                     sub(/^,/, "", word[i]); if (word[i] != "") label = label (label == "" ? "" : " ") word[i]
                 }
             } }'
}
for where in file server; do
    "$build/bench/kora_lookup_bench" --folder "$work/$where" --state PA --runs "${RUNS:-5}" >"$work/$where.lookups"
    QT_QPA_PLATFORM=offscreen "$build/bench/kora_result_list_bench" --folder "$work/$where" \
        --state PA >"$work/$where.list"
    echo "== on the $where"
    cat "$work/$where.lookups" "$work/$where.list"
    cat "$work/$where.lookups" "$work/$where.list" | medians >"$work/$where.medians"
done
printf '%-90s %10s %10s %6s\n' "median, ms" file server ratio
join -t $'\t' <(sort "$work/file.medians") <(sort "$work/server.medians") |
    awk -F '\t' '{ printf "%-90s %10.1f %10.1f %6.2f\n", $1, $2, $3, ($2 > 0 ? $3 / $2 : 0) }'
