#!/usr/bin/env bash
# Takes the README's pictures of the Windows program under Wine, on a virtual display: the main
# window with a bookmark on a folder of projects and a note shown, at 100 % (docs/windows.png) and
# at 150 % (docs/windows-150.png).
#   scripts/windows-pictures.sh BUILD/bin [output folder, docs/ if none]
# Wine gets real fonts for the names the windows ask for (scripts/wine-fonts.sh), and Qt draws the
# letters with its FreeType engine, as Wine's GDI loses some of them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:?usage: $0 BUILD/bin [output folder]}" && pwd)
out=$(cd "${2:-$root/docs}" && pwd)

source "$(dirname "$0")/wine-session.sh" windows-pictures

# Wine links the user's Documents folder to the one in the home folder: a home of its own.
export XDG_CACHE_HOME=${XDG_CACHE_HOME:-$HOME/.cache}
export HOME=$work/home WINEDEBUG=-all WINEQT_QPA_PLATFORM=windows:fontengine=freetype
mkdir -p "$HOME/Documents"

# dots per inch, picture
take() {
  local dpi=$1 picture=$2 display window
  export WINEPREFIX=$work/wine-$dpi
  exec 3>"$work/display-$dpi"
  Xvfb -displayfd 3 -screen 0 $((1024 * dpi / 96))x$((768 * dpi / 96))x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  waitFor 20 test -s "$work/display-$dpi" || fail "no virtual display"
  export DISPLAY=:$(head -n1 "$work/display-$dpi")
  openbox >/dev/null 2>&1 &
  pids+=($!)
  wineboot --init >/dev/null 2>&1 || true
  "$root/scripts/wine-fonts.sh" "$dpi"

  local documents user_documents program="$work/Programme-$dpi"
  user_documents=$(wine cmd /c echo '%USERPROFILE%\Documents' 2>/dev/null | tr -d '\r')
  documents=$(winepath -u "$user_documents" 2>/dev/null)
  local projects="$documents/Projets Cubase"
  mkdir -p "$projects" "$program"
  for name in "accordéon" "Ballade d'été" "Démo chorale" "Groove 2" "Zéphyr"; do
    touch "$projects/$name.cpr"
  done
  printf '%s\r\n' "Mix du 12 mars : voix à refaire au refrain." "Basse un peu forte, compresser la batterie." \
    "Version envoyée à Léa." "EOF" "${user_documents%Documents}Music\\Ballade d'été (mix 3).wav" |
    iconv -f UTF-8 -t CP1252 >"$projects/Ballade d'été.cpr.info"
  cp -r "$bin"/orvasel.exe "$bin"/*.dll "$bin"/platforms "$bin"/styles "$bin"/translations "$program"/
  printf 'rien\r\n0\r\n%s\\Projets Cubase\\\r\nSIG\r\nProjets Cubase\r\nEOF\r\n\r\n' "$user_documents" |
    iconv -f UTF-8 -t CP1252 >"$program/Orvasel.you"

  wine "$program/orvasel.exe" >/dev/null 2>&1 &
  waitFor 120 xdotool search --name '^Orvasel$' || fail "the main window did not appear"
  window=$(xdotool search --name '^Orvasel$' | head -n1)
  sleep 3
  # The second project of the list (the list is at 192, 96, 13 pixels a line, at 100 %).
  xdotool mousemove --window "$window" $((222 * dpi / 96)) $((115 * dpi / 96)) click 1
  sleep 2
  import -frame -window "$window" "$picture"
  wineserver -k 2>/dev/null || true
}

take 96 "$out/windows.png"
take 144 "$out/windows-150.png"
echo "$out/windows.png"
echo "$out/windows-150.png"
