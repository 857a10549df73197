#!/usr/bin/env bash
# Checks what a Windows user downloads, under Wine: the installer installs silently into Program
# Files with its Start-menu entry and its Add/Remove Programs entry, the installed program started
# from the Start menu lists the user's Documents folder and ends for a user who cannot write in its
# folder (its settings go to the user's own folder), an upgrade keeps the settings beside the
# program, and the uninstaller removes the rest.
# Usage: scripts/windows-package-check.sh <Orvasel-x.y.z-windows-x64-setup.exe, or its folder>
# The zip made with it (same name, .zip) must lie beside it. Wine runs in ORVASEL_CHECK_WINEPREFIX
# when given (one without Orvasel in it), otherwise in a prefix of its own, removed at the end; a
# WINEPREFIX of the caller's is not used, as what other programs left there could sway the check.
# ORVASEL_SCREENSHOT=<file.png> keeps a picture of the running program.
set -euo pipefail

setup=$(realpath "${1:?usage: $0 <Orvasel-x.y.z-windows-x64-setup.exe, or its folder>}")
if [[ -d $setup ]]; then
  found=("$setup"/Orvasel-*-windows-x64-setup.exe)
  ((${#found[@]} == 1)) && [[ -f ${found[0]} ]] || { echo "$setup must hold one Orvasel installer" >&2; exit 1; }
  setup=${found[0]}
fi
zip=${setup%-setup.exe}.zip
version=$(basename "$setup" | sed -n 's/^Orvasel-\([0-9.]*\)-windows-x64-setup\.exe$/\1/p')

# A virtual display of its own, with a window manager, so that nothing shows on the user's desktop.
if [[ -z ${ORVASEL_CHECK_DISPLAY:-} ]]; then
  "$(dirname "$0")/packages.sh" wine64 wine xvfb xauth xdotool openbox unzip imagemagick >&2
  ORVASEL_CHECK_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

started=$SECONDS
step() {
  step_started=$SECONDS
  echo "-- $1"
}
step_done() {
  echo "   done in $((SECONDS - step_started)) s"
}
fail() {
  echo "windows-package-check: FAILED: $*" >&2
  exit 1
}
[[ -n $version ]] || fail "$setup is not named Orvasel-<version>-windows-x64-setup.exe"
[[ -f $setup && -f $zip ]] || fail "$setup and $zip are needed"

work=$(mktemp -d)
# Wine links the user's Documents folder to the one in the home folder: a home of its own keeps
# what the check puts there out of the real one.
export XDG_CACHE_HOME=${XDG_CACHE_HOME:-$HOME/.cache}
export HOME=$work/home
mkdir -p "$HOME/Documents"
WINEPREFIX=${ORVASEL_CHECK_WINEPREFIX:-$work/wine}
# No prompts to fetch Wine's .NET and HTML engines, which the program does not use.
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_log=$work/wine.log
window_manager=
cleanup() {
  status=$?
  [[ -n ${install_dir:-} && -d $install_dir ]] && chmod -R u+w "$install_dir"
  wineserver -k >/dev/null 2>&1 || true
  [[ -n $window_manager ]] && kill "$window_manager" 2>/dev/null
  if ((status != 0)) && [[ -s $wine_log ]]; then
    echo "Wine said:" >&2
    tail -n 40 "$wine_log" >&2
  fi
  rm -rf "$work"
  exit $status
}
trap cleanup EXIT
if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  window_manager=$!
fi

# A Windows program run to its end (Wine's own helpers included) within a time limit.
wine_run() {
  local status=0
  timeout 300 wine "$@" 2>>"$wine_log" || status=$?
  timeout 300 wineserver -w
  return $status
}
windows_path() {
  wine cmd /c echo "$1" 2>>"$wine_log" | tr -d '\r'
}
unix_path() {
  winepath -u "$1" 2>>"$wine_log"
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvasel'
registry_value() {
  wine reg query "$uninstall_key" /v "$1" 2>>"$wine_log" | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
same_files() {
  cmp -s "$1" "$2" || fail "$2 differs from $1"
}
# Every file of the zip installed, the same bytes, and nothing else but the uninstaller.
check_installed_files() {
  local file
  while read -r file; do
    [[ -f $install_dir/$file ]] || fail "$file is not installed"
    [[ $file == Orvasel.you ]] || same_files "$unpacked/$file" "$install_dir/$file"
  done < <(cd "$unpacked" && find . -type f -printf '%P\n')
  [[ -f $install_dir/uninstall.exe ]] || fail "the uninstaller is not installed"
  while read -r file; do
    [[ $file == uninstall.exe || -f $unpacked/$file ]] || fail "$file is installed but not in the zip"
  done < <(cd "$install_dir" && find . -type f -printf '%P\n')
}
check_registered() {
  [[ -f $shortcut ]] || fail "no Start-menu shortcut $shortcut"
  local name expected actual
  for name in DisplayName DisplayIcon UninstallString QuietUninstallString DisplayVersion Publisher; do
    actual=$(registry_value "$name")
    case $name in
      DisplayName) expected=Orvasel ;;
      DisplayVersion) expected=$version ;;
      DisplayIcon) expected="$install_win\\orvasel.ico" ;;
      UninstallString) expected="\"$install_win\\uninstall.exe\"" ;;
      QuietUninstallString) expected="\"$install_win\\uninstall.exe\" /S" ;;
      Publisher) expected=Orvasel ;;
    esac
    [[ $actual == "$expected" ]] || fail "uninstall entry $name is '$actual', not '$expected'"
  done
}
check_unregistered() {
  [[ ! -e $shortcut ]] || fail "the Start-menu shortcut is left"
  ! wine reg query "$uninstall_key" >/dev/null 2>>"$wine_log" || fail "the uninstall entry is left"
}

step "Wine prefix"
wine_run wineboot --init
"$(dirname "$0")/wine-fonts.sh"
program_files=$(windows_path '%ProgramW6432%')
install_win="$program_files\\Orvasel"
install_dir=$(unix_path "$install_win")
settings_dir=$(unix_path "$(windows_path '%LOCALAPPDATA%')\\Orvasel")
shortcut_win="$(windows_path '%ProgramData%')\\Microsoft\\Windows\\Start Menu\\Programs\\Orvasel.lnk"
shortcut=$(unix_path "$shortcut_win")
documents=$(unix_path "$(windows_path '%USERPROFILE%')\\Documents")
[[ -n $install_dir && -n $settings_dir && -n $shortcut && -d $documents ]] || fail "Wine's folders are not found"
# The check removes what it finds: a prefix that holds a user's Orvasel is not its to change.
[[ ! -e $install_dir ]] || fail "$install_win exists before the installation"
[[ ! -e $settings_dir ]] || fail "$settings_dir exists before the installation"
unpacked=$work/zip/Orvasel
unzip -q "$zip" -d "$work/zip"
step_done

step "Silent installation"
wine_run "$setup" /S || fail "the installer failed"
check_installed_files
same_files "$unpacked/Orvasel.you" "$install_dir/Orvasel.you"
check_registered
step_done

step "Installed program, started from the Start menu by a user who cannot write in its folder"
# Program Files is writable for everyone under Wine: the folder is made read-only, and root, who
# writes anyway, gives up that right for the program and its Wine server.
wineserver -k >/dev/null 2>&1 || true
chmod -R a-w "$install_dir"
as_user=()
if ((EUID == 0)); then
  as_user=(setpriv --bounding-set=-dac_override,-dac_read_search)
fi
# Without a bookmark, the folder list shows the user's Documents folder, where a folder of projects
# waits.
mkdir -p "$documents/Projets"
touch "$documents/Projets/Premier.cpr"
# As Explorer does: the shell opens the shortcut, which starts the program in its working folder.
"${as_user[@]}" wine start "$shortcut_win" 2>>"$wine_log" || fail "the Start-menu shortcut could not be opened"
window=
main_window() {
  xdotool search --onlyvisible --name '^Orvasel$' 2>/dev/null | head -n 1 || true
}
for ((i = 0; i < 240; i++)); do
  window=$(main_window)
  [[ -n $window ]] && break
  sleep 0.5
done
[[ -n $window ]] || fail "no main window within 120 s"
echo "   main window after $((SECONDS - step_started)) s"
sleep 2
if [[ -n ${ORVASEL_SCREENSHOT:-} ]]; then
  import -window root "$ORVASEL_SCREENSHOT"
fi
# The folder list shows C:\users\<name>\Documents, its fourth entry, and the folder in it as the
# fifth (the list is at 2, 32, 16 pixels an entry): opened, that one lists its project, and a click
# on it (the project list is at 192, 96) creates its information file.
xdotool mousemove --window "$window" 60 104 click --repeat 2 --delay 80 1
sleep 1
xdotool mousemove --window "$window" 222 102 click 1
for ((i = 0; i < 40; i++)); do
  [[ -f $documents/Projets/Premier.cpr.info ]] && break
  sleep 0.5
done
[[ -f $documents/Projets/Premier.cpr.info ]] ||
  fail "the Start-menu entry did not show the Documents folder: $(ls -R "$documents")"
[[ -f $settings_dir/Orvasel.you ]] || fail "no settings in the user's folder $settings_dir"
same_files "$unpacked/Orvasel.you" "$settings_dir/Orvasel.you"
# Changed behind the program's back: what is there after the close was written by the close.
printf 'not written back\r\n' >"$settings_dir/Orvasel.you"
# (Its exit code, which the shell does not pass on, is checked by scripts/windows-smoke.sh.)
wine taskkill /im orvasel.exe >/dev/null 2>>"$wine_log" || fail "taskkill could not ask the program to close"
for ((i = 0; i < 60; i++)); do
  [[ -z $(main_window) ]] && break
  # The close tells that the file it found was damaged before replacing it: the box is answered.
  ((i % 4 == 3)) && xdotool key Return 2>/dev/null
  sleep 0.5
done
[[ -z $(main_window) ]] || fail "the program did not end within 30 s of the close request"
timeout 60 wineserver -w || fail "the program did not end within 60 s of its window"
same_files "$unpacked/Orvasel.you" "$settings_dir/Orvasel.you"
same_files "$unpacked/Orvasel.you" "$install_dir/Orvasel.you"
check_installed_files
timeout 60 wineserver -w
chmod -R u+w "$install_dir"
step_done

step "Upgrade over settings changed beside the program"
printf 'C:\\Cubase\\Cubase.exe\r\n-1\r\nSIG\r\nEOF\r\n\r\n' >"$work/changed.you"
cp "$work/changed.you" "$install_dir/Orvasel.you"
wine_run "$setup" /S || fail "the installer failed over an installed version"
same_files "$work/changed.you" "$install_dir/Orvasel.you"
check_installed_files
check_registered
step_done

step "Silent uninstallation, the changed settings kept"
wine_run "$install_dir/uninstall.exe" /S || fail "the uninstaller failed"
check_unregistered
left=$(cd "$install_dir" && find . -mindepth 1 -printf '%P\n')
[[ $left == Orvasel.you ]] || fail "left in $install_win: $(echo $left)"
same_files "$work/changed.you" "$install_dir/Orvasel.you"
same_files "$unpacked/Orvasel.you" "$settings_dir/Orvasel.you"
step_done

step "Installation and uninstallation with the settings as installed"
rm -r "$install_dir"
wine_run "$setup" /S || fail "the installer failed"
check_installed_files
wine_run "$install_dir/uninstall.exe" /S || fail "the uninstaller failed"
check_unregistered
[[ ! -e $install_dir ]] || fail "left in $install_win: $(cd "$install_dir" && find . -mindepth 1 -printf '%P ')"
[[ -f $settings_dir/Orvasel.you ]] || fail "the user's settings were removed"
step_done

echo "Windows package check passed in $((SECONDS - started)) s"
