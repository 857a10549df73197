#!/usr/bin/env bash
# Starts the real orvasel.exe of a Windows build under Wine, on a virtual display, with the Windows
# platform plugin: the main window must appear and list the folder of the bookmark its settings file
# names; a click on the first project creates its information file (so the list is in the right
# order); a close request must end the program with exit code 0 and the settings file written back
# byte for byte.
#   scripts/windows-smoke.sh BUILD/bin [SCREENSHOT.png]
# ORVASEL_SMOKE_DPI=144 or 192 runs it on a display set to 150 % or 200 % (96 dots per inch: 100 %).
# The pictures in docs/ are taken with Qt's FreeType font engine (see scripts/wine-fonts.sh):
#   WINEQT_QPA_PLATFORM=windows:fontengine=freetype scripts/windows-smoke.sh build-win/bin docs/windows.png
set -euo pipefail
bin=$(cd "$1" && pwd)
screenshot=${2:-}

source "$(dirname "$0")/wine-session.sh" windows-smoke

dpi=${ORVASEL_SMOKE_DPI:-96}
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 $((1024 * dpi / 96))x$((768 * dpi / 96))x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
waitFor 20 test -s "$work/display" || fail "no virtual display"
export DISPLAY=:$(head -n1 "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
export WINEPREFIX=$work/wine WINEDEBUG=-all
wineboot --init >/dev/null 2>&1 || true
"$(dirname "$0")/wine-fonts.sh" "$dpi"

# The program as installed: its folder, with the settings file of a user whose bookmark names a
# folder of projects (code page 1252, CR LF).
program=$work/Programme
mkdir -p "$program"
cp -r "$bin"/orvasel.exe "$bin"/*.dll "$bin"/platforms "$program"/
for optional in styles translations; do [ -d "$bin/$optional" ] && cp -r "$bin/$optional" "$program"/; done
projects="$work/Projets été"
mkdir -p "$projects"
touch "$projects/Zébulon.cpr" "$projects/Beta.cpr" "$projects/alpha.cpr" "$projects/notes.txt"
folder="Z:$(printf '%s' "$projects" | tr / '\\')\\"
printf 'rien\r\n0\r\n%s\r\nSIG\r\nMes projets\r\nEOF\r\nC:\\Lecteur\\lecteur.exe\r\n' "$folder" |
  iconv -f UTF-8 -t CP1252 >"$program/Orvasel.you"
cp "$program/Orvasel.you" "$work/Orvasel.you.before"

wine "$program/orvasel.exe" >"$work/orvasel.log" 2>&1 &
orvasel=$!
waitFor 120 xdotool search --name '^Orvasel$' || fail "the main window did not appear"
window=$(xdotool search --name '^Orvasel$' | head -n1)
sleep 3  # let it paint
[ -z "$screenshot" ] || import -window root "$screenshot"

# The first project of the list, just below the list's top edge (the list is at 192, 96 at 100 %).
xdotool mousemove --window "$window" $((222 * dpi / 96)) $((102 * dpi / 96)) click 1
waitFor 20 test -f "$projects/alpha.cpr.info" ||
  fail "a click on the first project did not select alpha.cpr: $(ls "$projects")"

wine taskkill /im orvasel.exe >/dev/null 2>&1 || fail "no close request could be sent"
status=0
waitFor 60 sh -c "! kill -0 $orvasel" || fail "the program did not end after the close request"
wait "$orvasel" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with exit code $status"
cmp "$work/Orvasel.you.before" "$program/Orvasel.you" || fail "the settings file was not written back byte for byte"
echo "windows-smoke: main window shown, folder listed in order, closed with exit code 0, settings kept byte for byte"
