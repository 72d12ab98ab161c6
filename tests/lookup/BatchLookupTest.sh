#!/bin/sh
# kora-batch sql, query and followups: what they print, where, and their exit status.
# Lookup files no editor wrote are refused by every command that reads one,
# with a one-line message and status 1, without crashing or hanging.
set -u
batch=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
lookups=$folder/INITIAL
fail() { echo "FAIL: $*"; exit 1; }
# expect STATUS STDOUT STDERR COMMAND...: runs the command on the test folder.
expect() {
    status=$1 out=$2 err=$3
    shift 3
    "$batch" "$@" --folder "$folder" >"$folder/out" 2>"$folder/err"
    got=$?
    [ $got -eq "$status" ] || fail "$*: status $got"
    [ "$(cat "$folder/out")" = "$out" ] || fail "$*: printed $(head -c 200 "$folder/out")"
    [ "$(cat "$folder/err")" = "$err" ] || fail "$*: told $(head -c 200 "$folder/err")"
}
# rows FILE SEQUENCE NAME...: the lines query prints for these companies.
rows() { printf '%s\t%s\t%s\n' "$@"; }
# lookup FILE LINE...: a lookup file of these lines.
lookup() { file=$1; shift; printf '%s\r\n' "$@" >"$lookups/$file"; }

"$batch" init --folder "$folder" 2>/dev/null || fail "init"
lookup SEARCH1.KRD '"BIG RISKS","Zip Code","19000","19099","ZIP",#FALSE#' \
    '"BIG RISKS","Zip Code","19300","19399","ZIP",#FALSE#' \
    '"BIG RISKS","Experience Mod.","1.000","9.999","MOD",#FALSE#' \
    '"BIG RISKS","County","15","15","COUNTY",#TRUE#'
lookup SEARCH2.KRD '"NO DEBITS","Merit Class","Debit","Debit","MERIT",#TRUE#'
lookup SEARCH3.KRD '"ALL","New Records","","","NEWREC",#FALSE#'
lookup SEARCH4.KRD '"AR","NJ A/R Only","0795","1296","NJARONLY",#FALSE#'

expect 0 "SELECT * FROM PRIME WHERE [MOD] BETWEEN 1.000 AND 9.999 AND COUNTY NOT BETWEEN '15' AND '15' AND (ZIP BETWEEN '19000' AND '19099' OR ZIP BETWEEN '19300' AND '19399')" "" \
    sql --state PA --lookup "$lookups/SEARCH1.KRD"
expect 0 "SELECT * FROM PRIME WHERE [MOD] NOT = 9.886" "" sql --state PM --lookup "$lookups/SEARCH2.KRD"
expect 0 "SELECT * FROM PRIME" "ALL RECORDS SELECTED" sql --state PA --lookup "$lookups/SEARCH3.KRD"
expect 1 "" "This lookup contains a field that can only be used with the state of NJ!" \
    sql --state PA --lookup "$lookups/SEARCH4.KRD"
expect 0 "SELECT * FROM PRIME WHERE NJAR BETWEEN 9507 AND 9612" "" sql --state NJ --lookup "$lookups/SEARCH4.KRD"
expect 1 "" "Cannot read the lookup file NONE.KRD." sql --state PA --lookup "$lookups/NONE.KRD"
expect 0 "" "" query --state PA --lookup "$lookups/SEARCH1.KRD"
for usage in "query --state PA --sort zip" "sql --state XX"; do
    "$batch" $usage --folder "$folder" --lookup "$lookups/SEARCH1.KRD" 2>/dev/null
    [ $? -eq 2 ] || fail "$usage: not a usage error"
done

# With companies, when the sqlite3 shell is there to add them.
if command -v sqlite3 >/dev/null; then
    sqlite3 "$folder/KORAPA.MDB" "INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, ZIP, COUNTY, EXPIRE, MOD) VALUES
        ('1000003', '01', '100000301', 'ZETA CO   ', '19010', '02', '2025-01-15', 1.5),
        ('1000001', '02', '100000102', 'alpha inc', '19350', '46', '2025-03-01', 2),
        ('1000002', '01', '100000201', 'MIDDLE LLC', '19350', '15', '2025-02-01', 3),
        ('1000004', '01', '100000401', 'OUTSIDE', '18000', '02', '2025-02-01', 3)" || fail "sqlite3"
    expect 0 "$(rows 1000001 02 'alpha inc' 1000003 01 'ZETA CO')" "" query --state PA --lookup "$lookups/SEARCH1.KRD"
    expect 0 "$(rows 1000003 01 'ZETA CO' 1000001 02 'alpha inc')" "" \
        query --state PA --lookup "$lookups/SEARCH1.KRD" --sort expires
    expect 0 "$(rows 1000001 02 'alpha inc' 1000002 01 'MIDDLE LLC' 1000003 01 'ZETA CO' 1000004 01 OUTSIDE)" \
        "ALL RECORDS SELECTED" query --state PA --lookup "$lookups/SEARCH3.KRD" --sort file

    # followups: what is due by today (+ --due days), oldest first; a dropped company's is not.
    sqlite3 "$folder/KORAPA.MDB" "INSERT INTO FOLLOWUP (FILE, SEQUENCE, DUE, TEXT) VALUES
        ('1000003', '01', '2026-12-07', 'Call about renewal'),
        ('1000001', '02', '2026-11-30', 'Send the letter'),
        ('1000002', '01', '2026-12-09', 'Call again'),
        ('9999999', '01', '2026-01-01', 'Dropped')" || fail "sqlite3"
    due() { printf '%s\t%s\t%s\t%s\t%s\n' "$@"; }
    export KORA_TODAY=2026-12-07
    expect 0 "$(due 2026-11-30 1000001 02 'alpha inc' 'Send the letter' \
        2026-12-07 1000003 01 'ZETA CO' 'Call about renewal')" "" followups --state PA
    expect 0 "$(due 2026-11-30 1000001 02 'alpha inc' 'Send the letter')" "" followups --state PA --due -1
    expect 0 "$(due 2026-11-30 1000001 02 'alpha inc' 'Send the letter' \
        2026-12-07 1000003 01 'ZETA CO' 'Call about renewal' 2026-12-09 1000002 01 'MIDDLE LLC' 'Call again')" \
        "" followups --state PA --due 2
    expect 2 "" "kora-batch followups: --due must be a whole number of days, not soon" \
        followups --state PA --due soon
    # The Follow-up Due field read from its lookup file: days from today, over a month end.
    lookup SEARCH5.KRD '"CALLS","Follow-up Due","-6","1","FOLLOWUP",#FALSE#'
    expect 0 "SELECT * FROM PRIME WHERE EXISTS (SELECT 1 FROM FOLLOWUP AS F WHERE F.FILE = PRIME.FILE AND F.SEQUENCE = PRIME.SEQUENCE AND F.DUE BETWEEN '2026-12-01' AND '2026-12-08')" "" \
        sql --state PA --lookup "$lookups/SEARCH5.KRD"
    expect 0 "$(rows 1000003 01 'ZETA CO')" "" query --state PA --lookup "$lookups/SEARCH5.KRD"
    unset KORA_TODAY
fi

# Hand-written lookups: every command that reads one refuses it with its message.
refused() {
    for command in sql query "breakdown --by county" "export --layout comma --out $folder/x.csv"; do
        expect 1 "" "$1" $command --state PA --lookup "$lookups/HAND.KRD" # $command split into words
    done
}
digits=$(printf '%050000d' 1)
lookup HAND.KRD "\"T\",\"Experience Mod.\",\"$digits\",\"$digits\",\"MOD\",#FALSE#"
refused "Invalid mod!"
awk 'BEGIN { for (i = 0; i < 1000; ++i) printf "\"T\",\"Zip Code\",\"%05d\",\"%05d\",\"ZIP\",#FALSE#\r\n", i, i }' \
    >"$lookups/HAND.KRD"
refused "The lookup file HAND.KRD holds more than 200 criteria."
lookup HAND.KRD '"T","Zip Code","19000","19099","ZIPCODE",#TRUE#'
refused "The lookup file HAND.KRD holds the field code \"ZIPCODE\", which is not a lookup field."
[ ! -e "$folder/x.csv" ] || fail "a refused export wrote its file"
echo "ok"
