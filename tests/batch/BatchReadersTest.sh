#!/bin/sh
# query, export, print and breakdown read a state while another connection
# holds its write lock with a change not yet committed (a load or a backup
# under way): each runs through at once and sees the committed rows only.
# Then update and backup write their databases past the file size limit of
# the process (ulimit -f, as a full disk would stop them): each ends with
# status 1 and says why, never killed by SIGXFSZ, and what they were to
# replace is kept.
set -u
batch=$1
folder=$(mktemp -d)
holder=
cleanup() {
    [ -n "$holder" ] && kill "$holder" 2>/dev/null
    rm -rf "$folder"
}
trap cleanup EXIT
program=$folder/program
mkdir "$folder/tmp"
export TMPDIR="$folder/tmp"
fail() {
    echo "FAIL: $*"
    exit 1
}

"$batch" demo --folder "$program" --companies 31 >/dev/null 2>&1 || fail "demo"
printf '"EVERY ZIP","Zip Code","00000","99999","ZIP",#FALSE#\r\n' >"$folder/ALL.KRD"
# At most three companies: the export takes no more than a tenth of the state.
last=$(sqlite3 "$program/KORAPA.MDB" "SELECT ZIP FROM PRIME AS P
    WHERE (SELECT COUNT(*) FROM PRIME WHERE ZIP <= P.ZIP) <= 3 ORDER BY ZIP DESC LIMIT 1")
low=$(sqlite3 "$program/KORAPA.MDB" "SELECT COUNT(*) FROM PRIME WHERE ZIP <= '$last'")
printf '"Low zips","Zip Code","00000","%s","ZIP",#FALSE#\r\n' "$last" >"$folder/LOW.KRD"

mkfifo "$folder/to-writer" "$folder/from-writer"
sqlite3 "$program/KORAPA.MDB" <"$folder/to-writer" >"$folder/from-writer" &
holder=$!
exec 3>"$folder/to-writer" 4<"$folder/from-writer"
echo "BEGIN IMMEDIATE; UPDATE PRIME SET NAME1 = 'UNCOMMITTED'; SELECT 'held';" >&3
read -r held <&4
[ "$held" = held ] || fail "the writer did not take the lock: $held"

# run NAME ARGUMENTS...: the command on PA with the lookup's result.
run() {
    name=$1
    shift
    "$batch" "$name" --folder "$program" --state PA "$@" >"$folder/$name.out" 2>"$folder/$name.err" ||
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

# limited COMMAND MESSAGE: the command on PA under a limit of 100 blocks of
# 512 bytes ends with status 1 and tells MESSAGE on standard error.
limited() {
    sh -c 'ulimit -f 100; exec "$@"' sh "$batch" "$1" --folder "$program" --state PA \
        >/dev/null 2>"$folder/err"
    status=$?
    [ "$status" -eq 1 ] || fail "$1: status $status: $(cat "$folder/err")"
    grep -q "$2" "$folder/err" || fail "$1 told: $(cat "$folder/err")"
}
for i in $(seq 2000000 2000300); do
    printf 'PA%07d    01            %-40s%107s101%325s' "$i" "COMPANY $i" "" ""
done >"$program/DATAPA.DAT"
limited update "DATAPA.DAT"
[ -e "$program/DATAPA.DAT" ] || fail "update file of the failed load deleted"

sqlite3 "$program/KORAPA.MDB" "UPDATE NOTES SET NOTES = printf('%.2000c', 'N')" || fail "notes"
cp "$program/BACKUPPA.MDB" "$folder/backup.before"
limited backup "could not be saved"
cmp -s "$program/BACKUPPA.MDB" "$folder/backup.before" || fail "backup changed"
[ -z "$(find "$program" -name '*.new*' -o -name '*.partial')" ] ||
    fail "scratch files left: $(find "$program" -name '*.new*' -o -name '*.partial')"
echo "ok"
