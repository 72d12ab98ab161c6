#!/usr/bin/env bash
# Who may do what with a published state. An agent's login reads the state,
# keeps notes, follow-ups, user fields and Omit marks, and is refused loads, publishing
# and changes of company rows, told so plainly. An administrator's login that
# is no superuser loads the state and publishes it anew.
set -u
batch=$1
. "$(dirname "$0")/RequireTestServer.sh"
work=$(mktemp -d)
database=kora_roles_$$
agents=kora_agents_$$
admins=kora_admins_$$
agent=agent_$$
admin=admin_$$
host=$(sed -n 's/.*host=\([^ ]*\).*/\1/p' <<<"$KORA_TEST_SERVER")
# No user in the connection text: each program logs in as its own user.
server="host=$host dbname=$database"
superuser=$(sed -n 's/.*user=\([^ ]*\).*/\1/p' <<<"$KORA_TEST_SERVER")
cleanup() {
    psql "$KORA_TEST_SERVER" -q -c "DROP DATABASE IF EXISTS $database" >/dev/null 2>&1
    for role in $agent $admin $agents $admins; do
        psql "$KORA_TEST_SERVER" -q -c "DROP ROLE IF EXISTS $role" >/dev/null 2>&1
    done
    rm -rf "$work"
}
trap cleanup EXIT
psql "$KORA_TEST_SERVER" -q -c "CREATE DATABASE $database" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
as() { # LOGIN, then kora-batch's arguments
    local login=$1
    shift
    PGUSER=$login "$batch" "$@"
}
sql() { # LOGIN SQL: what the server answers, or its error
    psql "$server user=$1" -X -A -t -q -c "SET search_path = kora_pa, public; $2" 2>&1
}

"$batch" demo --folder "$work/pa" --companies 200 >/dev/null 2>&1 || fail "demo"
cp -a "$work/pa" "$work/again"
as "$superuser" publish --folder "$work/pa" --state PA --server "$server" --agents $agents \
    --admins $admins 2>"$work/err" || fail "publish: $(cat "$work/err")"
psql "$KORA_TEST_SERVER" -q -c "CREATE ROLE $agent LOGIN IN ROLE $agents;
    CREATE ROLE $admin LOGIN IN ROLE $admins" || exit 1
companies=$(sql "$superuser" "SELECT COUNT(*) FROM prime")
first=$(sql "$superuser" "SELECT file || ' ' || sequence FROM prime ORDER BY file LIMIT 1")
file=${first% *}
sequence=${first#* }

# The agent reads the state as the administrators do.
lookup=$(ls "$work/pa/INITIAL/"*.KRD | head -n 1)
as "$superuser" query --folder "$work/pa" --state PA --lookup "$lookup" >"$work/admin.out" 2>&1
as $agent query --folder "$work/pa" --state PA --lookup "$lookup" >"$work/agent.out" 2>&1 ||
    fail "agent's query: $(head -3 "$work/agent.out")"
cmp -s "$work/admin.out" "$work/agent.out" || fail "the agent's query differs"

# The agent keeps notes, user fields and Omit marks: a backup restored by the
# agent writes them back.
sql "$superuser" "UPDATE notes SET notes = 'Call in May' WHERE file = '$file' AND sequence = '$sequence';
    UPDATE prime SET user1 = 'HOT', omit = 'Y' WHERE file = '$file' AND sequence = '$sequence'" >/dev/null
as $agent backup --folder "$work/pa" --state PA >/dev/null 2>"$work/err" || fail "agent's backup: $(cat "$work/err")"
sql "$superuser" "UPDATE notes SET notes = ''; UPDATE prime SET user1 = '', omit = ''" >/dev/null
as $agent restore --folder "$work/pa" --state PA >/dev/null 2>"$work/err" || fail "agent's restore: $(cat "$work/err")"
[ "$(sql "$superuser" "SELECT n.notes || ' ' || p.user1 || ' ' || p.omit FROM notes n JOIN prime p USING (file, sequence) WHERE p.user1 <> ''")" = \
    "Call in May HOT Y" ] || fail "the agent's restore did not write the notes and user fields back"
[ "$(sql $agent "UPDATE prime SET userphone = '555' WHERE file = '$file'")" = "" ] ||
    fail "the agent cannot write a user field"
# Follow-ups too, kept as notes are; a state published without their table
# gets it when an administrator opens it, with the notes' owner and grants.
sql "$superuser" "DROP TABLE followup" >/dev/null
as $admin query --folder "$work/pa" --state PA --lookup "$lookup" >/dev/null 2>"$work/err" ||
    fail "admin's query: $(cat "$work/err")"
[ "$(sql "$superuser" "SELECT tableowner FROM pg_tables WHERE schemaname = 'kora_pa' AND tablename = 'followup'")" = $admins ] ||
    fail "the follow-ups' table made on opening is not the administrators'"
sql "$superuser" "INSERT INTO followup (file, sequence, due, text) VALUES ('$file', '$sequence', '2026-12-14', 'Call')" >/dev/null
as $agent backup --folder "$work/pa" --state PA >/dev/null 2>"$work/err" || fail "agent's backup: $(cat "$work/err")"
sql "$superuser" "DELETE FROM followup" >/dev/null
as $agent restore --folder "$work/pa" --state PA >/dev/null 2>"$work/err" || fail "agent's restore: $(cat "$work/err")"
[ "$(sql "$superuser" "SELECT due || ' ' || text FROM followup")" = "2026-12-14 Call" ] ||
    fail "the agent's restore did not write the follow-up back"

# The agent changes no company rows and loads nothing.
for change in "UPDATE prime SET name1 = 'X'" "DELETE FROM mods" "INSERT INTO class (file) VALUES ('X')" \
    "DROP TABLE notes" "DELETE FROM version"; do
    grep -q "permission denied\|must be owner" <<<"$(sql $agent "$change")" || fail "the agent may: $change"
done
printf 'PA%07d    01            %-40s%107s101%325s' 9999999 "AGENT'S COMPANY" "" "" >"$work/pa/DATAPA.DAT"
as $agent update --folder "$work/pa" --state PA --force >/dev/null 2>"$work/err"
[ $? -eq 1 ] || fail "the agent's update did not fail"
grep -q "Cannot load DATAPA.DAT: The server (.*) does not allow the login $agent to do this (permission denied for table .*). Loading and publishing a state are for the administrators of KORA on the server." "$work/err" ||
    fail "the agent's update is not told plainly: $(cat "$work/err")"
[ -f "$work/pa/DATAPA.DAT" ] || fail "the agent's update deleted the update file"
[ "$(sql "$superuser" "SELECT COUNT(*) FROM prime")" = "$companies" ] || fail "the agent's update changed companies"

# The agent publishes nothing: neither over the state nor anew.
as $agent publish --folder "$work/again" --state PA --server "$server" 2>"$work/err"
[ $? -eq 1 ] && grep -q "does not allow the login $agent" "$work/err" ||
    fail "the agent's publish is not refused plainly: $(cat "$work/err")"
[ "$(sql "$superuser" "SELECT COUNT(*) FROM prime")" = "$companies" ] || fail "the agent's publish changed the state"
[ "$(as $agent where --folder "$work/again" --state PA)" = file ] || fail "the agent's publish moved the setup"

# An administrator who is no superuser loads the update and publishes anew.
as $admin update --folder "$work/pa" --state PA --force >/dev/null 2>"$work/err" || fail "admin's update: $(cat "$work/err")"
[ "$(sql $admin "SELECT rtrim(name1) FROM prime")" = "AGENT'S COMPANY" ] ||
    fail "the administrator's update did not load"
as $admin publish --folder "$work/pa" --state PA --file 2>"$work/err" || fail "admin's publish --file: $(cat "$work/err")"
as $admin publish --folder "$work/pa" --state PA --server "$server" --agents $agents \
    --admins $admins 2>"$work/err" || fail "admin's publish: $(cat "$work/err")"
[ "$(sql $agent "SELECT rtrim(name1) FROM prime")" = "AGENT'S COMPANY" ] ||
    fail "the agent cannot read the state the administrator published"

[ $failures -eq 0 ] && echo "roles: all checks passed"
exit $((failures > 0))
