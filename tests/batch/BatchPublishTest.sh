#!/usr/bin/env bash
# A state published to a database server gives the same lookups, exports,
# prints and breakdowns as the file it was published from, and comes back.
set -u
batch=$1
. "$(dirname "$0")/RequireTestServer.sh"
work=$(mktemp -d)
database=kora_publish_$$
server="$KORA_TEST_SERVER dbname=$database"
cleanup() {
    psql "$KORA_TEST_SERVER" -q -c "DROP DATABASE IF EXISTS $database" >/dev/null 2>&1
    psql "$KORA_TEST_SERVER" -q -c "DROP DATABASE IF EXISTS ${database}_ascii" >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
psql "$KORA_TEST_SERVER" -q -c "CREATE DATABASE $database" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$batch" demo --folder "$work/file" --companies 400 >/dev/null 2>&1 || fail "demo"
cp -a "$work/file" "$work/server"
"$batch" publish --folder "$work/server" --state PA --server "$server" 2>"$work/publish.err" ||
    fail "publish: $(cat "$work/publish.err")"
[ "$("$batch" where --folder "$work/server" --state PA)" = "server $server" ] ||
    fail "where after publish"
# Nothing reads the file any more.
mv "$work/server/KORAPA.MDB" "$work/KORAPA.MDB.away"

# Thirty lookups of one to three random ranges, included or excluded, beside the demo's.
RANDOM=1207
range() {
    case $((RANDOM % 7)) in
    0) lo=$((RANDOM % 12 + 5)); echo "\"Experience Mod.\",\"0.$((lo * 5 + 10))\",\"1.$((RANDOM % 60 + 10))0\",\"MOD\"" ;;
    1) lo=$((RANDOM % 9 + 15)); echo "\"Zip Code\",\"${lo}000\",\"$((lo + RANDOM % 3))999\",\"ZIP\"" ;;
    2) printf '"Expiration Date","%02d01","%02d28","EXPIRE"\n' $((RANDOM % 12 + 1)) $((RANDOM % 12 + 1)) ;;
    3) lo=$((RANDOM % 80 + 10)); echo "\"SIC Code\",\"${lo}00\",\"$((lo + RANDOM % 10))99\",\"SIC\"" ;;
    4) echo "\"Employer Name\",\"$(printf "\\x$(printf %x $((RANDOM % 12 + 65)))")\",\"$(printf "\\x$(printf %x $((RANDOM % 12 + 78)))")\",\"NAME1\"" ;;
    5) lo=$((RANDOM % 90 + 10)); echo "\"Class Code\",\"${lo}00\",\"$((lo + RANDOM % 5))99\",\"CLASS\"" ;;
    6) echo "\"# of Employees\",\"$((RANDOM % 4))\",\"$((RANDOM % 4 + 4))\",\"EMPLOYEES\"" ;;
    esac
}
mkdir "$work/lookups"
cp "$work/file/INITIAL/"*.KRD "$work/lookups/"
for n in $(seq 1 30); do
    for c in $(seq 0 $((RANDOM % 3))); do
        exclude=$([ $((RANDOM % 4)) -eq 0 ] && echo '#TRUE#' || echo '#FALSE#')
        IFS=, read -r caption from thru code <<<"$(range)"
        echo "\"Random $n\",$caption,$from,$thru,$code,$exclude"
    done >"$work/lookups/R$n.KRD"
done

same() { # what, command after kora-batch (with FOLDER for the folder)
    local what=$1
    shift
    "$batch" "${@/FOLDER/$work/file}" >"$work/a" 2>&1
    a=$?
    "$batch" "${@/FOLDER/$work/server}" >"$work/b" 2>&1
    b=$?
    [ $a -eq $b ] && cmp -s "$work/a" "$work/b" || fail "$what differs: $(diff "$work/a" "$work/b" | head -4)"
}
selected=0
for lookup in "$work/lookups/"*.KRD; do
    for sort in name file expires; do
        same "query $(basename "$lookup") by $sort" query --folder FOLDER --state PA --lookup "$lookup" --sort "$sort"
        selected=$((selected + $(wc -l <"$work/a")))
    done
    same "breakdown $(basename "$lookup")" breakdown --folder FOLDER --state PA --lookup "$lookup" --by county
done
[ $selected -gt 1000 ] || fail "the lookups select too little to compare ($selected lines)"

# Under a tenth of the state, so that it may be exported.
lookup="$work/lookups/January.KRD"
echo '"January","Expiration Date","0101","0120","EXPIRE",#FALSE#' >"$lookup"
# The server finds a lookup's expiration months and days by its index, not by
# computing them for every company.
plan=$(psql "$server" -X -A -t -c "SET search_path = kora_pa, public; SET enable_seqscan = off;
    EXPLAIN $("$batch" sql --folder "$work/server" --state PA --lookup "$lookup")" 2>&1)
grep -q "Index Scan on prime_monthday" <<<"$plan" || fail "expiration lookup not by the index: $plan"
for layout in comma tab fixed limited; do
    for sort in name expire renewal zip; do
        same "export $layout by $sort" export --folder FOLDER --state PA --lookup "$lookup" --layout $layout --sort $sort --out FOLDER/EXPORT.TXT
        cmp -s "$work/file/EXPORT.TXT" "$work/server/EXPORT.TXT" || fail "export $layout by $sort: the files differ"
    done
done
for where in file server; do
    "$batch" export --folder "$work/$where" --state PA --lookup "$lookup" --layout xlsx --out "$work/$where.xlsx" 2>/dev/null || fail "xlsx on the $where"
    unzip -p "$work/$where.xlsx" xl/worksheets/sheet1.xml >"$work/$where.sheet"
    for format in detail summary laser dot; do
        "$batch" print --folder "$work/$where" --state PA --lookup "$lookup" --format $format --pdf "$work/$where-$format.pdf" 2>/dev/null || fail "print $format on the $where"
        pdftotext -layout "$work/$where-$format.pdf" "$work/$where-$format.txt"
    done
done
cmp -s "$work/file.sheet" "$work/server.sheet" || fail "the workbooks differ"
for format in detail summary laser dot; do
    cmp -s "$work/file-$format.txt" "$work/server-$format.txt" || fail "print $format differs"
done

# Back into the file: the same rows, and the setup points at the file again.
"$batch" publish --folder "$work/server" --state PA --file 2>"$work/publish.err" ||
    fail "publish --file: $(cat "$work/publish.err")"
[ "$("$batch" where --folder "$work/server" --state PA)" = file ] || fail "where after --file"
for lookup in "$work/lookups/"*.KRD; do
    same "query $(basename "$lookup") after --file" query --folder FOLDER --state PA --lookup "$lookup"
done
for table in PRIME MODS CLASS NOTES MODTREND LOADCHANGES; do
    [ "$(sqlite3 "$work/file/KORAPA.MDB" "SELECT COUNT(*) FROM $table")" = \
      "$(sqlite3 "$work/server/KORAPA.MDB" "SELECT COUNT(*) FROM $table")" ] || fail "$table count after --file"
done

# A server that cannot be reached is told by name; the setup keeps the file.
"$batch" publish --folder "$work/server" --state PA --server "host=$work/nowhere dbname=x" 2>"$work/err"
[ $? -eq 1 ] && grep -q "host=$work/nowhere dbname=x" "$work/err" || fail "unreachable server: $(cat "$work/err")"
[ "$("$batch" where --folder "$work/server" --state PA)" = file ] || fail "where after a refused publish"

# A database that cannot hold case-blind text is refused by name; the setup keeps the file.
psql "$KORA_TEST_SERVER" -q -c "CREATE DATABASE ${database}_ascii ENCODING 'SQL_ASCII' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0" || exit 1
"$batch" publish --folder "$work/server" --state PA --server "$KORA_TEST_SERVER dbname=${database}_ascii" 2>"$work/err"
[ $? -eq 1 ] && grep -q "SQL_ASCII encoding; KORA needs one made with --encoding=UTF8" "$work/err" || fail "SQL_ASCII database: $(cat "$work/err")"
[ "$("$batch" where --folder "$work/server" --state PA)" = file ] || fail "where after a refused encoding"

[ $failures -eq 0 ] && echo "publish: all checks passed"
exit $((failures > 0))
