#!/bin/sh
# kora-batch upgrade on archives made by the zip tool: the two endings on
# standard output, the messages on standard error and a refusal with status 1.
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
# upgrade STATUS OUTPUT MESSAGE...: the upgrade of KORA1.ZIP of these files of
# $files (links stored as links) ends with STATUS, prints OUTPUT and tells MESSAGE.
upgrade() {
    rm -f "$source/KORA1.ZIP"
    [ $# -gt 3 ] && (cd "$files" && shift 3 && zip -q -r -y "$source/KORA1.ZIP" "$@")
    "$batch" upgrade --folder "$folder" --from "$source" >"$work/out" 2>"$work/err"
    status=$?
    [ "$status" -eq "$1" ] || fail "status $status: $(cat "$work/err")"
    [ "$(cat "$work/out")" = "$2" ] || fail "printed: $(cat "$work/out")"
    grep -qF "$3" "$work/err" || fail "not told $3: $(cat "$work/err")"
}

mkdir -p "$source" "$files/INITIAL"
"$batch" init --folder "$folder" 2>/dev/null || fail "init"

printf x >"$source/OTHER.ZIP"
upgrade 1 "" "The KORA*.ZIP file was not found in the directory ($source)  Please select the correct path and try again."

# Program files only: the state is chosen again.
printf 'new help' >"$files/KORA.HLP"
printf 'lookup' >"$files/INITIAL/NEW.KRD"
upgrade 0 "select state" "Upgrade complete.  Select State!" KORA.HLP INITIAL
[ "$(cat "$folder/KORA.HLP")" = "new help" ] || fail "help not installed"
[ "$(cat "$folder/INITIAL/NEW.KRD")" = "lookup" ] || fail "lookup not installed"
grep -qx "KORA.HLP  1 of  3" "$work/err" || fail "member line: $(cat "$work/err")"

# A database name in other letter case: the program would end, no notes saved.
printf 'lower' >"$files/kOraPa.mdb"
cp "$folder/KORAPA.MDB" "$work/KORAPA.before"
upgrade 0 restart "Upgrade complete.  Restart KORA to activate changes!" kOraPa.mdb
[ "$(cat "$folder/kOraPa.mdb")" = lower ] && cmp -s "$folder/KORAPA.MDB" "$work/KORAPA.before" ||
    fail "lower-case name not installed beside KORAPA.MDB"
[ -f "$folder/RESTPA.DAT" ] && fail "marker without saved notes"

ln -s /etc/passwd "$files/link"
upgrade 1 "" "holds the member link," link
echo "ok"
