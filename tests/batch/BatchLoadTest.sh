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
# run STATUS COMMAND OPTIONS...: the command ends with STATUS and prints
# nothing on standard output; what it tells is in $folder/err.
run() {
    expected=$1
    shift
    "$batch" "$@" >"$folder/out" 2>"$folder/err"
    status=$?
    [ "$status" -eq "$expected" ] || fail "$*: status $status: $(cat "$folder/err")"
    [ -s "$folder/out" ] && fail "$* printed: $(cat "$folder/out")"
    return 0
}
# told PATTERN: standard error of the last command has a line that is PATTERN.
told() {
    grep -qx "$1" "$folder/err" || fail "not told $1: $(cat "$folder/err")"
}
# query DATABASE SQL RESULT
query() {
    [ "$(sqlite3 "$1" "$2")" = "$3" ] || fail "$2 in $1: $(sqlite3 "$1" "$2")"
}
company() {
    printf 'PA%07d    01            %-40s%107s101%325s' "$1" "COMPANY $1" "" ""
}

run 0 init --folder "$folder"
[ "$(cat "$folder/err")" = "Installation ready in $folder" ] || fail "init told: $(cat "$folder/err")"
for state in DE NJ NY PA PM DM; do
    [ -f "$folder/KORA$state.MDB" ] && [ -f "$folder/BACKUP$state.MDB" ] || fail "no $state databases"
done
[ -d "$folder/INITIAL" ] || fail "no INITIAL workspace"
run 2 update --folder "$folder" --state pa
run 2 update --folder "$folder"

# A county and 301 companies (one batch of 300 and one left over).
printf ' 101%-30s  ' PHILADELPHIA >"$folder/CTYPA.DAT"
for i in $(seq 1000000 1000300); do company "$i"; done >"$folder/DATAPA.DAT"
# The New York address file is not the Pennsylvania run's business.
printf 'NY1234567%318s' "" >"$folder/DATA2NY.DAT"
run 0 update --folder "$folder" --state PA
told "TOTAL COMPANIES ADDED IS 0"
told "TOTAL COMPANIES ADDED IS 300"
grep -q "TOTAL COMPANIES ADDED IS 301" "$folder/err" && fail "partial batch shown"
[ -e "$folder/DATAPA.DAT" ] || [ -e "$folder/CTYPA.DAT" ] && fail "update files left"
query "$folder/KORAPA.MDB" "SELECT COUNT(*), COUNT(DISTINCT COUNTYNAME) FROM PRIME" "301|1"
query "$folder/KORAPA.MDB" "SELECT COUNT(*) FROM VERSION WHERE Dummy = '1' AND Version = date('now', 'localtime')" 1

# New York addresses alone are no update.
run 0 update --folder "$folder" --state NY
[ -e "$folder/DATA2NY.DAT" ] || fail "New York addresses loaded"

# A load that fails: one line naming the file, which stays.
printf ' 8810%-50s   8810%-50s  ' CLERICAL AGAIN >"$folder/CLASSES.DAT"
run 1 update --folder "$folder" --state DE
[ "$(wc -l <"$folder/err")" -eq 1 ] && grep -q "CLASSES.DAT" "$folder/err" ||
    fail "failed load told: $(cat "$folder/err")"
[ -e "$folder/CLASSES.DAT" ] || fail "file of a failed load deleted"

# A FIFO in the place of an update file is told, not waited on.
rm "$folder/CLASSES.DAT"
mkfifo "$folder/DATADM.DAT"
run 1 update --folder "$folder" --state DM
told "kora-batch update: DATADM.DAT is not a regular file: it cannot be loaded"

# A company file that leaves 1 of the 301 companies loads only with --force.
company 1000000 >"$folder/DATAPA.DAT"
run 1 update --folder "$folder" --state PA
grep -q "DATAPA.DAT: it would remove 300 of the 301 companies of PA.*(--force loads it)$" "$folder/err" ||
    fail "shrinking update not told: $(cat "$folder/err")"
[ -e "$folder/DATAPA.DAT" ] || fail "file of a refused update deleted"
run 0 update --folder "$folder" --state PA --force
[ -e "$folder/DATAPA.DAT" ] && fail "file of a forced update left"

demo=$folder/demo
run 0 demo --folder "$demo" --companies 7
ls "$demo" | grep -q '\.DAT$' && fail "demo left update files: $(ls "$demo")"
for state in DE NJ NY PA PM DM; do
    query "$demo/KORA$state.MDB" "SELECT COUNT(*) FROM PRIME" 7
done
run 2 demo --folder "$demo" --companies 0
echo "ok"
