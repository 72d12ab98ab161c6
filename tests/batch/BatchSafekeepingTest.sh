#!/bin/sh
# kora-batch backup, restore and merge: exit status, the closing counts on
# standard error, nothing on standard output, the copy in another folder.
set -u
batch=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

"$batch" init --folder "$folder" >/dev/null 2>&1 || fail "init status"

"$batch" backup --folder "$folder" --state PA >"$folder/out" 2>"$folder/err" || fail "backup status"
[ -s "$folder/out" ] && fail "backup printed: $(cat "$folder/out")"
[ "$(cat "$folder/err")" = "0 User Notes and 0 Fields Saved to $folder/BACKUPPA.MDB" ] ||
    fail "backup told: $(cat "$folder/err")"

mkdir "$folder/other"
"$batch" backup --folder "$folder" --state PA --file "$folder/other/BACKUPPA.MDB" \
    >/dev/null 2>"$folder/err" || fail "backup with --file status"
grep -qx "Backup copied to $folder/other/BACKUPPA.MDB" "$folder/err" || fail "copy told: $(cat "$folder/err")"
cmp -s "$folder/BACKUPPA.MDB" "$folder/other/BACKUPPA.MDB" || fail "copy differs"

"$batch" merge --folder "$folder" --state PA --file "$folder/other/BACKUPPA.MDB" \
    >/dev/null 2>"$folder/err" || fail "merge status"
[ "$(head -n 1 "$folder/err")" = "0 User Notes and 0 Fields Restored From $folder/other/BACKUPPA.MDB" ] ||
    fail "merge told: $(cat "$folder/err")"

"$batch" restore --folder "$folder" --state PA --file "$folder/none/BACKUPPA.MDB" \
    >/dev/null 2>"$folder/err"
[ $? -eq 1 ] || fail "missing backup file not a failure"
[ "$(cat "$folder/err")" = "$folder/none/BACKUPPA.MDB file was not found.  Please select the correct path and try again." ] ||
    fail "missing file told: $(cat "$folder/err")"

"$batch" restore --folder "$folder" --state XX 2>/dev/null
[ $? -eq 2 ] || fail "unknown state not a usage error"
echo "PASS"
