#!/bin/sh
# Started from its desktop entry, Orvasel runs in the user's home folder, whatever folder the
# launcher runs in: launchers hand a program their own working folder.
#   desktop_entry_test.sh <gio> <orvasel.desktop>
set -eu
gio=$1
entry=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/home"
# The program's stand-in notes the folder it was started in.
printf '#!/bin/sh\npwd >"$HOME/started-in"\n' >"$work/bin/orvasel"
chmod +x "$work/bin/orvasel"
cd /
HOME=$work/home PATH=$work/bin:$PATH "$gio" launch "$entry"
for _ in $(seq 100); do
  [ -s "$work/home/started-in" ] && break
  sleep 0.1
done
started_in=$(cat "$work/home/started-in" 2>/dev/null || echo "(not started)")
if [ "$started_in" != "$work/home" ]; then
  echo "desktop entry: started in $started_in, not in the home folder $work/home" >&2
  exit 1
fi
