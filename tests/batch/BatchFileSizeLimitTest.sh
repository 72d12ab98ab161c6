#!/bin/sh
# Commands that write past the file size limit of the process (ulimit -f, as
# a full disk would stop them): update, backup and print each end
# with status 1 and one line saying why, never killed by SIGXFSZ, and what
# they were to replace is kept.
set -u
batch=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
program=$folder/program
mkdir "$folder/tmp"
export TMPDIR="$folder/tmp"
fail() {
    echo "FAIL: $*"
    exit 1
}

"$batch" demo --folder "$program" --companies 31 >/dev/null 2>&1 || fail "demo"
printf '"EVERY ZIP","Zip Code","00000","99999","ZIP",#FALSE#\r\n' >"$folder/ALL.KRD"

# update: a company file whose load outgrows the limit.
for i in $(seq 2000000 2000300); do
    printf 'PA%07d    01            %-40s%107s101%325s' "$i" "COMPANY $i" "" ""
done >"$folder/DATAPA.DAT"
printf 'OLD CONTENT' >"$program/OLD.PDF"

# limited BLOCKS COMMAND OPTIONS...: the command under a limit of BLOCKS
# blocks of 512 bytes, with its status in $status and its standard error in err.
limited() {
    blocks=$1
    name=$2
    shift 2
    sh -c 'ulimit -f "$1"; shift; exec "$@"' sh "$blocks" "$batch" "$name" --folder "$program" "$@" \
        >"$folder/out" 2>"$folder/err"
    status=$?
}
# expect COMMAND MESSAGE: status 1 and MESSAGE told on standard error.
expect() {
    [ "$status" -eq 1 ] || fail "$1: status $status: $(cat "$folder/err")"
    grep -q "$2" "$folder/err" || fail "$1 told: $(cat "$folder/err")"
}

cp "$folder/DATAPA.DAT" "$program/"
limited 100 update --state PA
expect update "DATAPA.DAT"
[ -e "$program/DATAPA.DAT" ] || fail "update file of the failed load deleted"

# The scratch database of 31 companies fits in 140 blocks, their PDF does not.
limited 140 print --state PA --lookup "$folder/ALL.KRD" --format detail --pdf "$program/OLD.PDF"
expect print "^kora-batch print: Cannot write $program/OLD.PDF: File too large"
[ "$(cat "$program/OLD.PDF")" = "OLD CONTENT" ] || fail "print replaced the old file"

# backup: notes more than the limit holds.
sqlite3 "$program/KORAPA.MDB" "UPDATE NOTES SET NOTES = printf('%.2000c', 'N')" ||
    fail "notes"
cp "$program/BACKUPPA.MDB" "$folder/backup.before"
limited 100 backup --state PA
expect backup "could not be saved"
cmp -s "$program/BACKUPPA.MDB" "$folder/backup.before" || fail "backup changed"

[ -z "$(find "$program" -name '*.new*' -o -name '*.partial')" ] ||
    fail "scratch files left: $(find "$program" -name '*.new*' -o -name '*.partial')"
echo "ok"
