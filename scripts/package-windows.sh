#!/usr/bin/env bash
# Makes what a Windows user downloads, from a Windows build of Orvasel (cross-built with MinGW-w64
# against the Windows Qt):
#   Orvasel-<version>-windows-x64.zip        a folder to unpack anywhere and start orvasel.exe from
#   Orvasel-<version>-windows-x64-setup.exe  an installer into Program Files, with its uninstaller
# Usage: scripts/package-windows.sh <Windows build folder> [output folder, the build folder if none]
# The Windows Qt is the one the build folder was configured with (ORVASEL_WINDOWS_QT overrides).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: $0 <Windows build folder> [output folder]}" && pwd)
out=${2:-$build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
mingw=x86_64-w64-mingw32

"$root/scripts/packages.sh" g++-mingw-w64-x86-64-posix nsis zip qt6-translations-l10n >&2

fail() {
  echo "package-windows: $*" >&2
  exit 1
}
for tool in "$mingw-g++-posix" "$mingw-objdump" "$mingw-strip" makensis zip; do
  command -v "$tool" >/dev/null || fail "$tool is missing (Debian packages g++-mingw-w64-x86-64-posix, nsis, zip)"
done

version=$(sed -n 's/^project(Orvasel VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "no x.y.z version in the project() line of CMakeLists.txt"

exe=$build/bin/orvasel.exe
[[ -f $exe ]] || exe=$build/orvasel.exe
[[ -f $exe ]] || fail "no orvasel.exe in $build/bin or $build: build the program for Windows first"

qt=${ORVASEL_WINDOWS_QT:-}
if [[ -z $qt ]]; then
  qt_dir=$(sed -n 's/^Qt6_DIR:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
  [[ -n $qt_dir ]] || fail "no Qt6_DIR in $build/CMakeCache.txt; set ORVASEL_WINDOWS_QT to the Windows Qt"
  qt=$(cd "$qt_dir/../../.." && pwd)
fi
[[ -f $qt/bin/Qt6Core.dll ]] || fail "$qt is not a Windows Qt (no bin/Qt6Core.dll)"
qt_version=$(cat "$qt"/lib/cmake/Qt6/Qt6ConfigVersion*.cmake | sed -n 's/^set(PACKAGE_VERSION "\(.*\)")$/\1/p' | head -n 1)
[[ -n $qt_version ]] || fail "the version of the Qt in $qt is not found"
translations=/usr/share/qt6/translations
[[ -f $translations/qtbase_fr.qm ]] || fail "$translations/qtbase_fr.qm is missing (Debian package qt6-translations-l10n)"

name=Orvasel-$version-windows-x64
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The zip unpacks into one folder, "Orvasel"; the installer installs the same files.
stage=$work/Orvasel
mkdir -p "$stage"

# The program, its settings to start from, its icon and what to read first.
cp "$exe" "$stage/orvasel.exe"
cp "$root/resources/Orvasel.you" "$root/resources/orvasel.ico" "$stage/"
sed -e "s/@VERSION@/$version/g" -e "s/@QT_VERSION@/$qt_version/g" \
  "$root/packaging/windows/LISEZMOI.txt" >"$stage/LISEZMOI.txt"

# Qt's plugins: the Windows platform, without which nothing starts, and the style that gives the
# controls the desktop's look. The pictures are BMP and PNG, read by Qt's built-in handlers, so
# no image format plugin is needed.
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll; do
  [[ -f $qt/plugins/$plugin ]] || fail "$qt/plugins/$plugin is missing"
  mkdir -p "$stage/$(dirname "$plugin")"
  cp "$qt/plugins/$plugin" "$stage/$plugin"
done

# Qt's own texts (buttons and standard boxes) in French. With Qt6Core.dll beside the program, Qt
# takes the program's folder as its own and looks in its translations folder: no qt.conf needed.
mkdir -p "$stage/translations"
cp "$translations/qtbase_fr.qm" "$stage/translations/"

# Every DLL that the program and the plugins import, and those import, taken from Qt or from the
# compiler's runtime; any other DLL is part of Windows.
runtime_dirs=()
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  path=$("$mingw-g++-posix" -print-file-name="$dll")
  [[ -f $path ]] || fail "the MinGW-w64 runtime $dll is not found"
  runtime_dirs+=("$(cd "$(dirname "$path")" && pwd)")
done
imports() {
  "$mingw-objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p'
}
pending=("$stage/orvasel.exe" "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while ((${#pending[@]})); do
  binary=${pending[0]}
  pending=("${pending[@]:1}")
  while read -r dll; do
    [[ -e $stage/$dll ]] && continue
    for dir in "$qt/bin" "${runtime_dirs[@]}"; do
      # The import names and the files' names may differ in case, as Windows does not care.
      found=$(find "$dir" -maxdepth 1 -iname "$dll" -print -quit)
      if [[ -n $found ]]; then
        cp "$found" "$stage/$dll"
        pending+=("$stage/$dll")
        break
      fi
    done
  done < <(imports "$binary")
done
for dll in Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  [[ -f $stage/$dll ]] || fail "$dll was not taken in: the build does not import it as expected"
done

# The same dates everywhere, those of the last commit, so that the same sources give the same zip.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)}

# Symbols serve no user: the build keeps them for debugging. (Stripping stamps the DLLs with
# SOURCE_DATE_EPOCH.)
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec "$mingw-strip" --strip-unneeded {} +

mkdir -p "$stage/licences"
for licence in LGPL-3 GPL-3; do
  sed 's/$/\r/' "/usr/share/common-licenses/$licence" >"$stage/licences/$licence.txt"
done
sed 's/$/\r/' /usr/share/doc/mingw-w64-x86-64-dev/copyright >"$stage/licences/mingw-w64.txt"
sed 's/$/\r/' /usr/share/doc/gcc-mingw-w64-base/copyright >"$stage/licences/gcc.txt"

find "$stage" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +

rm -f "$out/$name.zip"
(cd "$work" && find Orvasel -type f | LC_ALL=C sort | zip -X -q -9 "$out/$name.zip" -@)

# The installer installs and removes exactly the files of the zip; Orvasel.you has rules of its own.
files=$work/files.nsh
unfiles=$work/unfiles.nsh
: >"$files"
: >"$unfiles"
while read -r dir; do
  rel=${dir#"$stage"}
  echo "SetOutPath \"\$INSTDIR${rel//\//\\}\"" >>"$files"
  while read -r file; do
    base=${file##*/}
    [[ $base =~ ^[A-Za-z0-9._+-]+$ ]] || fail "file name not fit for the installer script: $file"
    [[ $rel$base == Orvasel.you ]] && continue
    echo "File \"$file\"" >>"$files"
    echo "Delete \"\$INSTDIR${rel//\//\\}\\$base\"" >>"$unfiles"
  done < <(find "$dir" -maxdepth 1 -type f | LC_ALL=C sort)
done < <(find "$stage" -type d | LC_ALL=C sort)
# Folders last, the deepest first; RMDir leaves any that still holds something.
while read -r dir; do
  rel=${dir#"$stage"/}
  echo "RMDir \"\$INSTDIR\\${rel//\//\\}\"" >>"$unfiles"
done < <(find "$stage" -mindepth 1 -type d | LC_ALL=C sort -r)

size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -INPUTCHARSET UTF8 \
  -DVERSION="$version" -DSTAGE="$stage" -DFILES="$files" -DUNFILES="$unfiles" \
  -DSIZE_KB="$size_kb" -DOUTFILE="$out/$name-setup.exe" \
  "$root/packaging/windows/orvasel.nsi"

echo "$out/$name.zip"
echo "$out/$name-setup.exe"
