#!/bin/sh
# kora-batch upgrade on archives made by the zip tool: the two endings on
# standard output, the messages on standard error, refusals with status 1
# and every installed file byte for byte as before.
set -u
batch=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder=$work/program
source=$work/source
files=$work/files
fail() {
    echo "FAIL: $*"
    exit 1
}
# The lock files beside the state databases are not installed files.
snapshot() {
    (cd "$folder" && find . -type f ! -name '*.LCK' | sort | xargs md5sum) >"$work/$1"
}
# upgrade STATUS OUTPUT: the upgrade from $source ends with STATUS and prints OUTPUT.
upgrade() {
    "$batch" upgrade --folder "$folder" --from "$source" >"$work/out" 2>"$work/err"
    status=$?
    [ "$status" -eq "$1" ] || fail "status $status: $(cat "$work/err")"
    [ "$(cat "$work/out")" = "$2" ] || fail "printed: $(cat "$work/out")"
}
# archive NAME...: KORA1.ZIP of these files of $files, links stored as links.
archive() {
    rm -f "$source/KORA1.ZIP"
    (cd "$files" && zip -q -r -y "$source/KORA1.ZIP" "$@")
}
told() {
    grep -qF "$1" "$work/err" || fail "not told $1: $(cat "$work/err")"
}

mkdir -p "$source" "$files/INITIAL"
"$batch" init --folder "$folder" 2>/dev/null || fail "init"

upgrade 1 ""
told "The KORA*.ZIP file was not found in the directory ($source)  Please select the correct path and try again."

# Program files only: the state is chosen again.
printf 'new help' >"$files/KORA.HLP"
printf 'lookup' >"$files/INITIAL/NEW.KRD"
archive KORA.HLP INITIAL
upgrade 0 "select state"
[ "$(cat "$folder/KORA.HLP")" = "new help" ] || fail "help not installed"
[ "$(cat "$folder/INITIAL/NEW.KRD")" = "lookup" ] || fail "lookup not installed"
grep -qx "KORA.HLP  1 of  3" "$work/err" || fail "member line: $(cat "$work/err")"
told "Upgrade complete.  Select State!"

# A database name in other letter case: the program would end, no notes saved.
printf 'lower' >"$files/kOraPa.mdb"
archive kOraPa.mdb
cp "$folder/KORAPA.MDB" "$work/KORAPA.before"
upgrade 0 restart
[ "$(cat "$folder/kOraPa.mdb")" = lower ] && cmp -s "$folder/KORAPA.MDB" "$work/KORAPA.before" ||
    fail "lower-case name not installed beside KORAPA.MDB"
[ -f "$folder/RESTPA.DAT" ] && fail "marker without saved notes"
told "Upgrade complete.  Restart KORA to activate changes!"

# Refused archives change nothing.
snapshot before
ln -s /etc/passwd "$files/link"
archive link
upgrade 1 ""
told "holds the member link,"

# A state database whose notes cannot be saved is not replaced: the backup
# database is damaged.
printf 'new PA' >"$files/KORAPA.MDB"
archive KORAPA.MDB
mv "$folder/BACKUPPA.MDB" "$work/BACKUPPA.MDB"
printf 'not a database' >"$folder/BACKUPPA.MDB"
upgrade 1 ""
told "The PA user notes and fields could not be saved"
mv "$work/BACKUPPA.MDB" "$folder/BACKUPPA.MDB"
snapshot after
cmp -s "$work/before" "$work/after" || fail "installed files changed: $(diff "$work/before" "$work/after")"
echo "ok"
