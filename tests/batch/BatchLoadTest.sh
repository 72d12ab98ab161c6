#!/bin/sh
# kora-batch init, backup, merge, restore, update and demo: exit status, what
# goes to standard output (nothing) and standard error, and the files they leave.
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
company() {
    printf 'PA%07d    01            %-40s%107s101%325s' "$1" "COMPANY $1" "" ""
}

run 0 init --folder "$folder"
told "Installation ready in $folder"
for state in DE NJ NY PA PM DM; do
    [ -f "$folder/KORA$state.MDB" ] && [ -f "$folder/BACKUP$state.MDB" ] || fail "no $state databases"
done
run 2 update --folder "$folder" --state pa

# The closing counts of backup, merge and restore come first on standard error.
first() {
    [ "$(head -n 1 "$folder/err")" = "$1" ] || fail "told: $(cat "$folder/err")"
}
mkdir "$folder/other"
run 0 backup --folder "$folder" --state PA --file "$folder/other/BACKUPPA.MDB"
first "0 User Notes and 0 Fields Saved to $folder/BACKUPPA.MDB"
told "Backup copied to $folder/other/BACKUPPA.MDB"
run 0 merge --folder "$folder" --state PA --file "$folder/other/BACKUPPA.MDB"
first "0 User Notes and 0 Fields Merged From $folder/other/BACKUPPA.MDB"
run 0 restore --folder "$folder" --state PA
first "0 User Notes and 0 Fields Restored From $folder/BACKUPPA.MDB"
run 1 restore --folder "$folder" --state PA --file "$folder/none/BACKUPPA.MDB"
told "$folder/none/BACKUPPA.MDB file was not found.  Please select the correct path and try again."
run 2 restore --folder "$folder" --state XX
run 2 update --folder "$folder"

# 301 companies: the progress of each batch of 300 on standard error.
for i in $(seq 1000000 1000300); do company "$i"; done >"$folder/DATAPA.DAT"
run 0 update --folder "$folder" --state PA
told "TOTAL COMPANIES ADDED IS 300"
told "Update of PA finished"
[ -e "$folder/DATAPA.DAT" ] && fail "update file left"
[ "$(sqlite3 "$folder/KORAPA.MDB" "SELECT COUNT(*) FROM PRIME")" = 301 ] || fail "companies"

run 0 update --folder "$folder" --state NY
told "No update for NY in $folder"

# A load that fails: one line naming the file.
printf ' 8810%-50s   8810%-50s  ' CLERICAL AGAIN >"$folder/CLASSES.DAT"
run 1 update --folder "$folder" --state DE
[ "$(wc -l <"$folder/err")" -eq 1 ] && grep -q "CLASSES.DAT" "$folder/err" ||
    fail "failed load told: $(cat "$folder/err")"

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

run 0 demo --folder "$folder/demo" --companies 7
[ "$(sqlite3 "$folder/demo/KORADM.MDB" "SELECT COUNT(*) FROM PRIME")" = 7 ] || fail "demo"
run 2 demo --folder "$folder/demo" --companies 0
echo "ok"
