#!/bin/sh
# kora-batch export that cannot write: a folder no file can be made in, and a
# full disk (a file size limit set with ulimit -f). Each exits 1 with one line
# telling why, and leaves no file and no half file under the chosen name; a
# file already there keeps its bytes.
set -u
batch=$1
folder=$(mktemp -d)
locked="$folder/locked"
cleanup() {
    [ -d "$locked" ] && chattr -i "$locked" 2>/dev/null
    rm -rf "$folder"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

"$batch" demo --folder "$folder" >/dev/null 2>&1 || fail "demo status"
# About 150 of the 2000 New Jersey companies: under a tenth, and in the fixed
# layout far more than the size limit below lets a file hold.
last=$(sqlite3 "$folder/KORANJ.MDB" "SELECT ZIP FROM PRIME ORDER BY ZIP LIMIT 1 OFFSET 149")
printf '"Low zips","Zip Code","00000","%s","ZIP",#FALSE#\r\n' "$last" >"$folder/LOW.KRD"

# export LAYOUT OUT [LIMIT]: runs the export, under a file size limit of LIMIT
# blocks when given (enough for the database's shared memory file).
export_to() {
    limit=${3:-unlimited}
    sh -c 'ulimit -f "$1"; shift; exec "$@"' sh "$limit" "$batch" export --folder "$folder" \
        --state NJ --lookup "$folder/LOW.KRD" --layout "$1" --out "$2" >"$folder/out" 2>"$folder/err"
}
# expect_refusal MESSAGE: status 1, and the message as the one line of its kind.
expect_refusal() {
    status=$1
    shift
    [ "$status" -eq 1 ] || fail "status $status for: $*"
    [ "$(grep -c '^kora-batch' "$folder/err")" -eq 1 ] || fail "messages: $(cat "$folder/err")"
    grep -qxF "kora-batch export: $*" "$folder/err" || fail "told: $(cat "$folder/err")"
    [ -s "$folder/out" ] && fail "printed: $(cat "$folder/out")"
    return 0
}
# no_scratch: nothing is left of a scratch file in the folder.
no_scratch() {
    [ -z "$(find "$folder" -maxdepth 2 -name '*.partial')" ] || fail "scratch left: $(find "$folder" -name '*.partial')"
}

export_to fixed "$folder/whole.txt" || fail "export status: $(cat "$folder/err")"
size=$(wc -c <"$folder/whole.txt")
[ "$size" -gt 120000 ] || fail "the export holds only $size bytes"

# The workbook's parts go to temporary files first; it is read back to find one cut short.
for layout in comma fixed xlsx; do
    reason="File too large"
    [ $layout = xlsx ] && reason="not all of the workbook could be written (disk full or file too large)"
    export_to $layout "$folder/full.$layout" 100
    expect_refusal $? "CANNOT WRITE OUTPUT FILE! $folder/full.$layout: $reason"
    [ -e "$folder/full.$layout" ] && fail "$layout: a half file is left under the name"
    no_scratch

    printf 'OLD CONTENT' >"$folder/old.$layout"
    export_to $layout "$folder/old.$layout" 100
    expect_refusal $? "CANNOT WRITE OUTPUT FILE! $folder/old.$layout: $reason"
    [ "$(cat "$folder/old.$layout")" = "OLD CONTENT" ] || fail "$layout: the old file was changed"
    no_scratch
done

# Root writes in any folder its mode forbids; the immutable mark stops it too.
mkdir "$locked"
chmod 555 "$locked"
[ "$(id -u)" -eq 0 ] && chattr +i "$locked" 2>/dev/null
if touch "$locked/probe" 2>/dev/null; then
    rm -f "$locked/probe"
    echo "SKIP: this system lets the test write in any folder; the unwritable folder is not tried"
else
    export_to comma "$locked/EXPORT.CSV"
    expect_refusal $? "CANNOT CREATE OUTPUT FILE!"
    [ -z "$(ls -A "$locked")" ] || fail "the locked folder holds: $(ls -A "$locked")"
fi
echo "PASS"
