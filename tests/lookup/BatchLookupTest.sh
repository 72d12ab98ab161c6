#!/bin/sh
# kora-batch sql and query: what they print, where, and their exit status.
# Lookup files no editor wrote are refused by every command that reads one,
# with a one-line message and status 1, without crashing or hanging.
set -u
batch=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

"$batch" init --folder "$folder" 2>/dev/null || fail "init"
lookups=$folder/INITIAL
printf '"BIG RISKS","Zip Code","19000","19099","ZIP",#FALSE#\r\n"BIG RISKS","Zip Code","19300","19399","ZIP",#FALSE#\r\n"BIG RISKS","Experience Mod.","1.000","9.999","MOD",#FALSE#\r\n"BIG RISKS","County","15","15","COUNTY",#TRUE#\r\n' >"$lookups/SEARCH1.KRD"
printf '"NO DEBITS","Merit Class","Debit","Debit","MERIT",#TRUE#\r\n' >"$lookups/SEARCH2.KRD"
printf '"ALL","New Records","","","NEWREC",#FALSE#\r\n' >"$lookups/SEARCH3.KRD"
printf '"AR","NJ A/R Only","0795","1296","NJARONLY",#FALSE#\r\n' >"$lookups/SEARCH4.KRD"

out=$("$batch" sql --folder "$folder" --state PA --lookup "$lookups/SEARCH1.KRD") || fail "sql status"
[ "$out" = "SELECT * FROM PRIME WHERE [MOD] BETWEEN 1.000 AND 9.999 AND COUNTY NOT BETWEEN '15' AND '15' AND (ZIP BETWEEN '19000' AND '19099' OR ZIP BETWEEN '19300' AND '19399')" ] ||
    fail "sql printed: $out"
out=$("$batch" sql --folder "$folder" --state PM --lookup "$lookups/SEARCH2.KRD") || fail "merit status"
[ "$out" = "SELECT * FROM PRIME WHERE [MOD] NOT = 9.886" ] || fail "merit printed: $out"

out=$("$batch" sql --folder "$folder" --state PA --lookup "$lookups/SEARCH3.KRD" 2>"$folder/err") ||
    fail "all records status"
[ "$out" = "SELECT * FROM PRIME" ] || fail "all records printed: $out"
[ "$(cat "$folder/err")" = "ALL RECORDS SELECTED" ] || fail "all records told: $(cat "$folder/err")"

out=$("$batch" sql --folder "$folder" --state PA --lookup "$lookups/SEARCH4.KRD" 2>"$folder/err")
[ $? -eq 1 ] || fail "NJ-only lookup on PA not refused"
[ -z "$out" ] || fail "refused lookup printed: $out"
[ "$(cat "$folder/err")" = "This lookup contains a field that can only be used with the state of NJ!" ] ||
    fail "refusal told: $(cat "$folder/err")"
"$batch" sql --folder "$folder" --state NJ --lookup "$lookups/SEARCH4.KRD" >/dev/null || fail "NJ refused"
"$batch" sql --folder "$folder" --state PA --lookup "$lookups/NONE.KRD" 2>/dev/null
[ $? -eq 1 ] || fail "missing lookup file not refused"

out=$("$batch" query --folder "$folder" --state PA --lookup "$lookups/SEARCH1.KRD") || fail "query status"
[ -z "$out" ] || fail "query on an empty database printed: $out"
"$batch" query --folder "$folder" --state PA --lookup "$lookups/SEARCH1.KRD" --sort zip 2>/dev/null
[ $? -eq 2 ] || fail "bad --sort not a usage error"
"$batch" sql --folder "$folder" --state XX --lookup "$lookups/SEARCH1.KRD" 2>/dev/null
[ $? -eq 2 ] || fail "bad --state not a usage error"

# With companies, when the sqlite3 shell is there to add them.
if command -v sqlite3 >/dev/null; then
    sqlite3 "$folder/KORAPA.MDB" "INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, ZIP, COUNTY, EXPIRE, MOD) VALUES
        ('1000003', '01', '100000301', 'ZETA CO   ', '19010', '02', '2025-01-15', 1.5),
        ('1000001', '02', '100000102', 'alpha inc', '19350', '46', '2025-03-01', 2),
        ('1000002', '01', '100000201', 'MIDDLE LLC', '19350', '15', '2025-02-01', 3),
        ('1000004', '01', '100000401', 'OUTSIDE', '18000', '02', '2025-02-01', 3)" || fail "sqlite3"
    tab=$(printf '\t')
    out=$("$batch" query --folder "$folder" --state PA --lookup "$lookups/SEARCH1.KRD")
    [ "$out" = "1000001${tab}02${tab}alpha inc
1000003${tab}01${tab}ZETA CO" ] || fail "query by name printed: $out"
    out=$("$batch" query --folder "$folder" --state PA --lookup "$lookups/SEARCH1.KRD" --sort expires)
    [ "$out" = "1000003${tab}01${tab}ZETA CO
1000001${tab}02${tab}alpha inc" ] || fail "query by expiration printed: $out"
    out=$("$batch" query --folder "$folder" --state PA --lookup "$lookups/SEARCH3.KRD" --sort file 2>/dev/null | cut -f1 | tr '\n' ' ')
    [ "$out" = "1000001 1000002 1000003 1000004 " ] || fail "query by file printed: $out"
fi

# Hand-written lookups.
digits=$(printf '%050000d' 1)
printf '"T","Experience Mod.","%s","%s","MOD",#FALSE#\r\n' "$digits" "$digits" >"$lookups/SEARCH5.KRD"
printf '"T","Renews Within (days)","0","2147483647","RENEWDAYS",#FALSE#\r\n' >"$lookups/SEARCH6.KRD"
awk 'BEGIN { for (i = 0; i < 1000; ++i) printf "\"T\",\"Zip Code\",\"%05d\",\"%05d\",\"ZIP\",#FALSE#\r\n", i, i }' \
    >"$lookups/SEARCH7.KRD"
printf '"T","Zip Code","19000","19099","ZIPCODE",#TRUE#\r\n' >"$lookups/SEARCH8.KRD"

refused() {
    file=$1
    message=$2
    shift 2
    "$batch" "$@" --folder "$folder" --state PA --lookup "$lookups/$file" >"$folder/out" 2>"$folder/err"
    status=$?
    [ $status -eq 1 ] || fail "$* on $file: status $status"
    [ ! -s "$folder/out" ] || fail "$* on $file printed: $(head -c 200 "$folder/out")"
    [ "$(cat "$folder/err")" = "$message" ] || fail "$* on $file told: $(head -c 200 "$folder/err")"
}

# Each $command is split into its words.
for command in sql query "breakdown --by county" "export --layout comma --out $folder/x.csv"; do
    refused SEARCH5.KRD "Invalid mod!" $command
    refused SEARCH6.KRD "Days must be whole numbers from 0 to 366!" $command
    refused SEARCH7.KRD "The lookup file SEARCH7.KRD holds more than 200 criteria." $command
    refused SEARCH8.KRD \
        "The lookup file SEARCH8.KRD holds the field code \"ZIPCODE\", which is not a lookup field." \
        $command
done
[ ! -e "$folder/x.csv" ] || fail "a refused export wrote its file"
echo "ok"
