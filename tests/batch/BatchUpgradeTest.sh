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
mkdir -p "$source" "$files" "$work/snap"
fail() {
    echo "FAIL: $*"
    exit 1
}
# The lock files beside the state databases are not installed files.
snapshot() {
    (cd "$folder" && find . -type f ! -name '*.LCK' | sort | xargs md5sum) >"$1"
}
upgrade() {
    "$batch" upgrade --folder "$folder" --from "$source" >"$work/out" 2>"$work/err"
}
fresh_source() {
    rm -rf "$source" "$files"
    mkdir -p "$source" "$files" "$work/snap"
}

"$batch" init --folder "$folder" 2>/dev/null || fail "init"

# No archive: the message names the folder.
upgrade && fail "no archive exit 0"
grep -qF "The KORA*.ZIP file was not found in the directory ($source)  Please select the correct path and try again." "$work/err" ||
    fail "no archive message: $(cat "$work/err")"

# Program files only: the state is chosen again.
printf 'new help' >"$files/KORA.HLP"
mkdir -p "$files/INITIAL"
printf 'lookup' >"$files/INITIAL/NEW.KRD"
(cd "$files" && zip -q -r "$source/KORA1.ZIP" KORA.HLP INITIAL)
upgrade || fail "program files status: $(cat "$work/err")"
[ "$(cat "$work/out")" = "select state" ] || fail "program files printed: $(cat "$work/out")"
[ "$(cat "$folder/KORA.HLP")" = "new help" ] || fail "help not installed"
[ "$(cat "$folder/INITIAL/NEW.KRD")" = "lookup" ] || fail "lookup not installed"
grep -qx "KORA.HLP  1 of  3" "$work/err" || fail "member line: $(cat "$work/err")"
grep -qx "Upgrade complete.  Select State!" "$work/err" || fail "ending message"

# A database name in other letter case: the program would end, no notes saved.
fresh_source
printf 'lower' >"$files/kOraPa.mdb"
(cd "$files" && zip -q "$source/KORA1.ZIP" kOraPa.mdb)
upgrade || fail "lower case status: $(cat "$work/err")"
[ "$(cat "$work/out")" = "restart" ] || fail "lower case printed: $(cat "$work/out")"
[ -f "$folder/RESTPA.DAT" ] && fail "marker without saved notes"
grep -qx "Upgrade complete.  Restart KORA to activate changes!" "$work/err" || fail "restart message"

# A refused archive: status 1, nothing on standard output, nothing changed.
snapshot "$work/snap/before"
fresh_source
ln -s /etc/passwd "$files/link"
(cd "$files" && zip -q -y "$source/KORA1.ZIP" link)
upgrade && fail "symbolic link exit 0"
grep -q "holds the member link," "$work/err" || fail "link message: $(cat "$work/err")"
[ -s "$work/out" ] && fail "refusal printed: $(cat "$work/out")"

# A state database whose notes cannot be saved is not replaced: the backup
# database is damaged.
fresh_source
printf 'new PA' >"$files/KORAPA.MDB"
(cd "$files" && zip -q "$source/KORA1.ZIP" KORAPA.MDB)
mv "$folder/BACKUPPA.MDB" "$files/BACKUPPA.MDB"
printf 'not a database' >"$folder/BACKUPPA.MDB"
upgrade && fail "unsaved notes exit 0"
grep -q "The PA user notes and fields could not be saved" "$work/err" || fail "backup message: $(cat "$work/err")"
mv "$files/BACKUPPA.MDB" "$folder/BACKUPPA.MDB"

snapshot "$work/snap/after"
cmp -s "$work/snap/before" "$work/snap/after" || fail "installed files changed: $(diff "$work/snap/before" "$work/snap/after")"
echo "ok"
