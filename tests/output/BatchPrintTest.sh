#!/bin/sh
# kora-batch print: page counts of every format, the laser label grid, a used
# sheet with a shift, the test sheet, the Omit mark, the record printout, the
# lookup title on the page, the renewal order and the follow-up line.
set -u
batch=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
pages() {
    pdfinfo "$1" | sed -n 's/^Pages: *//p'
}
print() {
    "$batch" print --folder "$folder" --state PA --lookup "$folder/INITIAL/ALL.KRD" \
        --format "$1" --pdf "$folder/$1.pdf" 2>"$folder/err" || fail "print $1: $(cat "$folder/err")"
}
expect_pages() {
    for pair in "$@"; do
        format=${pair%=*}
        print "$format"
        [ "$(pages "$folder/$format.pdf")" = "${pair#*=}" ] ||
            fail "$format: $(pages "$folder/$format.pdf") pages, not ${pair#*=}"
    done
}
omit() {
    sqlite3 "$folder/KORAPA.MDB" "UPDATE PRIME SET Omit = 'Y' WHERE rowid IN (SELECT rowid FROM PRIME WHERE Omit <> 'Y' ORDER BY NAME1 DESC LIMIT $1)"
}

"$batch" demo --folder "$folder" --companies 31 >/dev/null 2>&1 || fail "demo"
printf '"EVERY ZIP","Zip Code","00000","99999","ZIP",#FALSE#\r\n' >"$folder/INITIAL/ALL.KRD"

expect_pages detail=31 summary=6 laser=2
pdftotext -layout -f 1 -l 1 "$folder/detail.pdf" - | grep -q 'EVERY ZIP' || fail "no lookup title"
first=$(sqlite3 "$folder/KORAPA.MDB" "SELECT rtrim(NAME1) FROM PRIME ORDER BY NAME1 LIMIT 1")
pdftotext -layout -f 1 -l 1 "$folder/detail.pdf" - | grep -q "$first" || fail "not sorted by name"

# Laser labels sit on the sheet's grid: 3/16" side margin, 2-5/8" labels,
# 1/8" gaps, 0.5" top margin, text 0.15" in from the label's edge (1/32" = 2.25 pt).
near() {
    awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= 2.25) }'
}
pdftotext -bbox -f 1 -l 1 "$folder/laser.pdf" "$folder/laser.html"
xmins=$(grep -o 'xMin="[0-9.]*"' "$folder/laser.html" | tr -dc '0-9.\n' | sort -n | uniq)
ymins=$(grep -o 'yMin="[0-9.]*"' "$folder/laser.html" | tr -dc '0-9.\n' | sort -n | uniq)
near "$(echo "$xmins" | head -1)" 24.3 || fail "first column at $(echo "$xmins" | head -1)"
echo "$xmins" | while read -r x; do near "$x" 222.3 && echo hit; done | grep -q hit ||
    fail "no second column at 222.3"
near "$(echo "$ymins" | head -1)" 46.1 || fail "first row at $(echo "$ymins" | head -1)"

# The next renewal first: the newest expirations from today's month and day
# to the year's end, then from January on.
KORA_TODAY=2026-07-01 "$batch" print --folder "$folder" --state PA --lookup "$folder/INITIAL/ALL.KRD" \
    --format summary --sort renewal --pdf "$folder/renewal.pdf" 2>"$folder/err" ||
    fail "renewal: $(cat "$folder/err")"
pdftotext -layout "$folder/renewal.pdf" - |
    sed -n 's/.*EXPIRES *\([0-9][0-9]\)\/\([0-9][0-9]\)\/.*/\1\2/p' |
    awk '{ key = ($1 < 701 ? $1 + 10000 : $1); if (key < last) bad = 1; last = key; wrapped += $1 < 701 }
         END { exit bad || wrapped == 0 || wrapped == NR }' || fail "not in renewal order"
# A used sheet from its fourth label (second row), moved 1/2" right and 1/4" up.
corner() {
    pdftotext -bbox -f 1 -l 1 "$1" "$folder/corner.html"
    x=$(grep -o 'xMin="[0-9.]*"' "$folder/corner.html" | tr -dc '0-9.\n' | sort -n | head -1)
    y=$(grep -o 'yMin="[0-9.]*"' "$folder/corner.html" | tr -dc '0-9.\n' | sort -n | head -1)
    near "$x" "$2" && near "$y" "$3" || fail "$1: first label at $x $y, not $2 $3"
}
"$batch" print --folder "$folder" --state PA --lookup "$folder/INITIAL/ALL.KRD" --format laser \
    --first-label 4 --offset-across 16 --offset-down -8 --pdf "$folder/used.pdf" 2>"$folder/err" ||
    fail "used sheet: $(cat "$folder/err")"
corner "$folder/used.pdf" 60.3 100.1
"$batch" print --folder "$folder" --state PA --format laser --test-sheet --offset-across 16 \
    --pdf "$folder/test.pdf" 2>"$folder/err" || fail "test sheet: $(cat "$folder/err")"
[ "$(pages "$folder/test.pdf")" = 1 ] || fail "test sheet pages"
[ "$(pdftotext -layout "$folder/test.pdf" - | grep -o 'TEST LABEL [0-9]*' | sort -u | wc -l)" = 30 ] ||
    fail "test sheet places"
corner "$folder/test.pdf" 60.3 46.1
for wrong in "--format laser --first-label 31" "--format detail --first-label 2"; do
    # shellcheck disable=SC2086
    "$batch" print --folder "$folder" --state PA --lookup "$folder/INITIAL/ALL.KRD" $wrong \
        --pdf "$folder/wrong.pdf" 2>/dev/null
    [ $? = 2 ] || fail "$wrong is no usage error"
done

omit 1
expect_pages detail=30 summary=5 laser=1
omitted=$(sqlite3 "$folder/KORAPA.MDB" "SELECT rtrim(NAME1) FROM PRIME WHERE Omit = 'Y'")
pdftotext "$folder/detail.pdf" - | grep -q "$omitted" && fail "omitted company printed"
key=$(sqlite3 -separator ' ' "$folder/KORAPA.MDB" "SELECT FILE, SEQUENCE FROM PRIME WHERE Omit = 'Y'")
# shellcheck disable=SC2086
"$batch" print --folder "$folder" --state PA --company $key --format detail \
    --pdf "$folder/record.pdf" 2>"$folder/err" || fail "record: $(cat "$folder/err")"
[ "$(pages "$folder/record.pdf")" = 1 ] || fail "record pages"
pdftotext "$folder/record.pdf" - | grep -q "$omitted" || fail "record printout left out its company"
pdftotext "$folder/record.pdf" - | grep -q "Print Record" || fail "record title"

# The follow-up on the detail printout and the summary; a company without one shows no line.
sqlite3 "$folder/KORAPA.MDB" "INSERT INTO FOLLOWUP (FILE, SEQUENCE, DUE, TEXT) VALUES ('${key% *}', '${key#* }', '2026-12-14', 'Call about renewal')"
# shellcheck disable=SC2086
"$batch" print --folder "$folder" --state PA --company $key --format detail \
    --pdf "$folder/record.pdf" 2>"$folder/err" || fail "record: $(cat "$folder/err")"
pdftotext "$folder/record.pdf" - | grep -q "Follow-up 12/14/2026: Call about renewal" ||
    fail "no follow-up on the record printout"
# shellcheck disable=SC2086
"$batch" print --folder "$folder" --state PA --company $key --format summary \
    --pdf "$folder/summary.pdf" 2>"$folder/err" || fail "summary: $(cat "$folder/err")"
pdftotext "$folder/summary.pdf" - | grep -q "Follow-up 12/14/2026: Call about renewal" ||
    fail "no follow-up on the summary"
print detail
[ "$(pdftotext "$folder/detail.pdf" - | grep -c "Follow-up")" = 0 ] || fail "follow-up lines without one"

echo "ok"
