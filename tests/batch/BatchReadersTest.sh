#!/bin/sh
# query, export, print and breakdown read a state while another connection
# holds its write lock with a change not yet committed (a load or a backup
# under way): each runs through at once and sees the committed rows only.
set -u
batch=$1
folder=$(mktemp -d)
holder=
cleanup() {
    [ -n "$holder" ] && kill "$holder" 2>/dev/null
    rm -rf "$folder"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

"$batch" demo --folder "$folder" --companies 31 >/dev/null 2>&1 || fail "demo"
printf '"EVERY ZIP","Zip Code","00000","99999","ZIP",#FALSE#\r\n' >"$folder/ALL.KRD"
# At most three companies: the export takes no more than a tenth of the state.
last=$(sqlite3 "$folder/KORAPA.MDB" "SELECT ZIP FROM PRIME AS P
    WHERE (SELECT COUNT(*) FROM PRIME WHERE ZIP <= P.ZIP) <= 3 ORDER BY ZIP DESC LIMIT 1")
low=$(sqlite3 "$folder/KORAPA.MDB" "SELECT COUNT(*) FROM PRIME WHERE ZIP <= '$last'")
printf '"Low zips","Zip Code","00000","%s","ZIP",#FALSE#\r\n' "$last" >"$folder/LOW.KRD"

mkfifo "$folder/to-writer" "$folder/from-writer"
sqlite3 "$folder/KORAPA.MDB" <"$folder/to-writer" >"$folder/from-writer" &
holder=$!
exec 3>"$folder/to-writer" 4<"$folder/from-writer"
echo "BEGIN IMMEDIATE; UPDATE PRIME SET NAME1 = 'UNCOMMITTED'; SELECT 'held';" >&3
read -r held <&4
[ "$held" = held ] || fail "the writer did not take the lock: $held"

# run NAME ARGUMENTS...: the command on PA with the lookup's result.
run() {
    name=$1
    shift
    "$batch" "$name" --folder "$folder" --state PA "$@" >"$folder/$name.out" 2>"$folder/$name.err" ||
        fail "$name beside the writer: $(cat "$folder/$name.err")"
    grep -q UNCOMMITTED "$folder/$name.out" && fail "$name read the uncommitted change"
    return 0
}
run query --lookup "$folder/ALL.KRD"
[ "$(wc -l <"$folder/query.out")" -eq 31 ] || fail "query lines: $(cat "$folder/query.out")"
run breakdown --lookup "$folder/ALL.KRD" --by county
[ "$(awk -F '\t' '{ n += $3 } END { print n }' "$folder/breakdown.out")" -eq 31 ] ||
    fail "breakdown: $(cat "$folder/breakdown.out")"
run export --lookup "$folder/LOW.KRD" --layout comma --out "$folder/low.csv"
[ "$(grep -c '^"' "$folder/low.csv")" -eq $((low + 1)) ] || fail "export lines: $(cat "$folder/low.csv")"
grep -q UNCOMMITTED "$folder/low.csv" && fail "export read the uncommitted change"
run print --lookup "$folder/ALL.KRD" --format summary --pdf "$folder/all.pdf"
[ "$(pdfinfo "$folder/all.pdf" | sed -n 's/^Pages: *//p')" = 6 ] || fail "print pages"
pdftotext "$folder/all.pdf" - | grep -q UNCOMMITTED && fail "print read the uncommitted change"

echo "ROLLBACK;" >&3
exec 3>&- 4<&-
wait "$holder"
holder=
echo "ok"
