#!/bin/sh
# kora-batch init, update and demo: exit status, what goes to standard output
# (nothing) and standard error, and the files they leave.
set -u
batch=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
lines() {
    wc -l <"$1" | tr -d ' '
}

"$batch" init --folder "$folder" >"$folder/out" 2>"$folder/err" || fail "init status"
[ -s "$folder/out" ] && fail "init printed: $(cat "$folder/out")"
[ "$(lines "$folder/err")" = 1 ] || fail "init told: $(cat "$folder/err")"
for state in DE NJ NY PA PM DM; do
    [ -f "$folder/KORA$state.MDB" ] && [ -f "$folder/BACKUP$state.MDB" ] || fail "no $state databases"
done
[ -d "$folder/INITIAL" ] || fail "no INITIAL workspace"

"$batch" update --folder "$folder" --state pa 2>/dev/null
[ $? -eq 2 ] || fail "lower-case state not a usage error"
"$batch" update --folder "$folder" 2>/dev/null
[ $? -eq 2 ] || fail "missing state not a usage error"

# A county and 301 companies (one batch of 300 and one left over).
printf ' 101%-30s  ' PHILADELPHIA >"$folder/CTYPA.DAT"
i=0
while [ $i -lt 301 ]; do
    printf 'PA%07d    01            %-40s%107s101%325s' $((1000000 + i)) "COMPANY $i" "" "" >>"$folder/DATAPA.DAT"
    i=$((i + 1))
done
# The New York address file is not the Pennsylvania run's business.
printf 'NY1234567%318s' "" >"$folder/DATA2NY.DAT"

"$batch" update --folder "$folder" --state PA >"$folder/out" 2>"$folder/err" || fail "update status"
[ -s "$folder/out" ] && fail "update printed: $(cat "$folder/out")"
grep -qx "TOTAL COMPANIES ADDED IS 0" "$folder/err" || fail "no start of progress: $(cat "$folder/err")"
grep -qx "TOTAL COMPANIES ADDED IS 300" "$folder/err" || fail "no batch in progress: $(cat "$folder/err")"
grep -q "TOTAL COMPANIES ADDED IS 301" "$folder/err" && fail "partial batch shown"
[ -e "$folder/DATAPA.DAT" ] || [ -e "$folder/CTYPA.DAT" ] && fail "update files left"
[ -e "$folder/DATA2NY.DAT" ] || fail "New York addresses taken by PA"

# New York addresses alone are no update.
"$batch" update --folder "$folder" --state NY >"$folder/out" 2>/dev/null || fail "idle update status"
[ -s "$folder/out" ] && fail "idle update printed: $(cat "$folder/out")"
[ -e "$folder/DATA2NY.DAT" ] || fail "New York addresses loaded alone"

# A load that fails: one line, status 1, the file stays.
printf ' 8810%-50s   8810%-50s  ' CLERICAL AGAIN >"$folder/CLASSES.DAT"
"$batch" update --folder "$folder" --state DE >"$folder/out" 2>"$folder/err"
[ $? -eq 1 ] || fail "failed load status"
[ -s "$folder/out" ] && fail "failed load printed: $(cat "$folder/out")"
[ "$(lines "$folder/err")" = 1 ] || fail "failed load told: $(cat "$folder/err")"
grep -q "CLASSES.DAT" "$folder/err" || fail "failed load does not name its file: $(cat "$folder/err")"
[ -e "$folder/CLASSES.DAT" ] || fail "file of a failed load deleted"

demo=$folder/demo
"$batch" demo --folder "$demo" --companies 7 >"$folder/out" 2>"$folder/err" || fail "demo status"
[ -s "$folder/out" ] && fail "demo printed: $(cat "$folder/out")"
ls "$demo" | grep -q '\.DAT$' && fail "demo left update files: $(ls "$demo")"
"$batch" demo --folder "$demo" --companies 0 2>/dev/null
[ $? -eq 2 ] || fail "no companies not a usage error"

if command -v sqlite3 >/dev/null; then
    [ "$(sqlite3 "$folder/KORAPA.MDB" "SELECT COUNT(*), COUNT(DISTINCT COUNTYNAME) FROM PRIME")" = "301|1" ] ||
        fail "PA companies"
    [ "$(sqlite3 "$folder/KORAPA.MDB" "SELECT COUNT(*) FROM VERSION WHERE Dummy = '1' AND Version = date('now', 'localtime')")" = 1 ] ||
        fail "PA version row"
    for state in DE NJ NY PA PM DM; do
        [ "$(sqlite3 "$demo/KORA$state.MDB" "SELECT COUNT(*) FROM PRIME")" = 7 ] || fail "demo $state companies"
    done
fi
# A FIFO in the place of an update file is told, not waited on.
rm "$folder/CLASSES.DAT"
mkfifo "$folder/DATADM.DAT"
"$batch" update --folder "$folder" --state DM >"$folder/out" 2>"$folder/err"
[ $? -eq 1 ] || fail "FIFO update status"
grep -qx "kora-batch update: DATADM.DAT is not a regular file: it cannot be loaded" "$folder/err" ||
    fail "FIFO not told: $(cat "$folder/err")"

# A company file that leaves 1 of the 301 companies loads only with --force.
printf 'PA%07d    01            %-40s%107s101%325s' 1000000 "COMPANY 0" "" "" >"$folder/DATAPA.DAT"
"$batch" update --folder "$folder" --state PA >"$folder/out" 2>"$folder/err"
[ $? -eq 1 ] || fail "shrinking update status"
grep -q "DATAPA.DAT: it would remove 300 of the 301 companies of PA.*(--force loads it)$" "$folder/err" ||
    fail "shrinking update not told: $(cat "$folder/err")"
[ -e "$folder/DATAPA.DAT" ] || fail "file of a refused update deleted"
"$batch" update --folder "$folder" --state PA --force >"$folder/out" 2>"$folder/err" ||
    fail "forced update status: $(cat "$folder/err")"
[ -e "$folder/DATAPA.DAT" ] && fail "file of a forced update left"
echo "ok"
