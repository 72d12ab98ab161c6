#!/usr/bin/env bash
# Builds the package from the build in ./build, installs it with apt-get and
# runs the installed programs: kora-batch lays out a demo in a scratch folder,
# the menu entry's command opens the window. Then an agent's note and
# workspace are written into /opt/kora, and they stay through installing the
# package again and removing it; only purging takes them away.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
bash scripts/package.sh
deb=$(ls kora_*_amd64.deb)
$sudo apt-get install -y -qq "./$deb"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && kora-batch demo --companies 50 2>demo.log) || { cat "$scratch/demo.log"; exit 1; }
[ "$(sqlite3 "$scratch/KORAPA.MDB" 'SELECT COUNT(*) FROM PRIME')" -gt 0 ]
echo "kora-batch demo laid out a demo installation in $scratch"

command=$(sed -n 's/^Exec=//p' /usr/share/applications/org.kora.KORA.desktop)
xvfb-run -a -s "-screen 0 1280x800x24" bash -c "
    $command &
    program=\$!
    timeout 30 xdotool search --sync --onlyvisible --name '^KORA\$' >/dev/null
    status=\$?
    kill \$program
    exit \$status"
echo "The menu entry's command ($command) opened the window"

note="SELECT NOTES FROM NOTES WHERE FILE = 'P-1'"
$sudo sqlite3 /opt/kora/KORAPA.MDB "INSERT INTO NOTES VALUES ('P-1', '0', 'Call in March')"
$sudo mkdir /opt/kora/AGENT
$sudo touch /opt/kora/AGENT/RENEWALS.KRD
$sudo apt-get install -y -qq --reinstall "./$deb"
[ "$(sqlite3 /opt/kora/KORAPA.MDB "$note")" = "Call in March" ]
[ -e /opt/kora/AGENT/RENEWALS.KRD ]
echo "Installing the package again kept the notes and the workspace"

$sudo apt-get remove -y -qq kora
[ ! -e /usr/bin/kora ]
[ "$(sqlite3 /opt/kora/KORAPA.MDB "$note")" = "Call in March" ]
[ -e /opt/kora/AGENT/RENEWALS.KRD ] && [ -e /opt/kora/BACKUPPA.MDB ]
echo "Removing the package kept the data in /opt/kora"
$sudo apt-get purge -y -qq kora
[ ! -e /opt/kora ]
echo "Purging the package removed /opt/kora"
