#!/usr/bin/env bash
# Builds the minimal Qt 6 for 64-bit Windows (MinGW-w64) that Orvasel needs, from Debian's own
# qtbase source package (the same version as the host's qt6-base-dev), once, and keeps it in the
# user's cache folder. Later runs find it there and only print its place.
#   scripts/windows-qt.sh            prints the prefix of the Windows Qt (building it when missing)
# The machine's apt configuration is left alone: the source package is fetched through a private
# one, kept beside the build.
#
# What Orvasel uses on Windows, and so all that is built: Core, Gui, Widgets and Test (the window
# tests run under Wine), the "windows" platform plugin (the program) and "offscreen" (the window
# tests), the Windows Vista style, and the .ico reader (the tests compare the window icon with the
# program's .ico; BMP and PNG are read by Gui itself). Qt's French texts come from the host's
# qt6-translations-l10n (cmake/windows-runtime.cmake), as the .qm files are the same on every system.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/packages.sh g++-mingw-w64-x86-64-posix ninja-build dpkg-dev >&2

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version%%+*}
upstream=${upstream%%-*}
configure_flags=(
  -xplatform win32-g++ -release -shared -optimize-size -nomake examples -nomake tests
  # Modules and back ends Orvasel does not use.
  -no-opengl -no-dbus -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-xml
  -no-feature-concurrent -no-feature-vulkan -no-feature-direct2d
  # Debian's tarball leaves out the Windows tablet code (wintab).
  -no-feature-tabletevent
  -qt-zlib -qt-libpng -no-libjpeg -no-gif -qt-pcre -qt-harfbuzz -qt-freetype -qt-doubleconversion
  # Widgets, dialogs and formats no window of Orvasel shows or reads.
  -no-feature-graphicsview -no-feature-mdiarea -no-feature-calendarwidget -no-feature-dockwidget
  -no-feature-toolbox -no-feature-splashscreen -no-feature-undoview -no-feature-undogroup
  -no-feature-undostack -no-feature-lcdnumber -no-feature-dial -no-feature-columnview
  -no-feature-fontcombobox -no-feature-fontdialog -no-feature-colordialog -no-feature-wizard
  -no-feature-keysequenceedit -no-feature-datawidgetmapper -no-feature-commandlinkbutton
  -no-feature-errormessage -no-feature-textodfwriter -no-feature-textmarkdownreader
  -no-feature-textmarkdownwriter -no-feature-pdf -no-feature-movie -no-feature-imageformat_ppm
  -no-feature-imageformat_xbm
)

# Changes to Debian's sources, each "file|text|replacement" (sed patterns); each must apply.
# - The Windows platform plugin uses the DirectWrite font database under a guard that Gui, which
#   compiles it only with Direct2D, does not share: the plugin's guards require both.
# - The helpers of the framebuffer and embedded platforms, and the "minimal" platform plugin, are
#   not built (nothing above needs them), so that building everything builds only what is used.
patches=(
  "src/plugins/platforms/windows/qwindowsintegration.cpp|#if QT_CONFIG(directwrite3)$|#if QT_CONFIG(directwrite3) \\&\\& QT_CONFIG(direct2d)"
  "src/CMakeLists.txt|^    add_subdirectory(platformsupport)$|    # platformsupport: not used"
  "src/plugins/platforms/CMakeLists.txt|^    add_subdirectory(minimal)$|    # minimal: not used"
)
key=$(printf '%s\n' "$version" "${configure_flags[@]}" "${patches[@]}" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/orvasel/qt-$upstream-mingw-$key
prefix=$cache/prefix

if [ -f "$cache/complete" ]; then
  echo "$prefix"
  exit 0
fi

started=$SECONDS
echo "Building Qt $upstream for Windows into $cache (once; about half an hour on 2 cores)" >&2
rm -rf "$cache/source" "$cache/build" "$prefix"
mkdir -p "$cache/apt/lists/partial" "$cache/apt/cache/archives/partial" "$cache/source"

# deb-src entries for the machine's own Debian sources, in a private list.
mkdir -p "$cache/apt/parts"
apt_options=(-o Dir::State::Lists="$cache/apt/lists" -o Dir::Cache="$cache/apt/cache")
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
  sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$cache/apt/parts/debian.sources"
  apt_options+=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$cache/apt/parts")
else
  sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$cache/apt/sources.list"
  apt_options+=(-o Dir::Etc::SourceList="$cache/apt/sources.list" -o Dir::Etc::SourceParts="$cache/apt/parts")
fi
apt-get "${apt_options[@]}" update -qq >&2
(cd "$cache/source" && apt-get "${apt_options[@]}" source --download-only "qt6-base=$version" >&2)
tarball=$(ls "$cache"/source/qt6-base_*.orig.tar.* | head -n1)
tar -xf "$tarball" -C "$cache/source"
src=$(find "$cache/source" -mindepth 1 -maxdepth 1 -type d | head -n1)

for patch in "${patches[@]}"; do
  IFS='|' read -r file text replacement <<<"$patch"
  grep -q "$text" "$src/$file" || { echo "windows-qt: '$text' not found in $file" >&2; exit 1; }
  sed -i -e "s/$text/$replacement/" "$src/$file"
done

cat >"$cache/mingw.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

# With ccache, a second build of the same sources in the same place (this folder deleted, or a
# Debian revision that changes a few files) takes a few minutes. Qt's precompiled headers are
# cached only when ccache is told to trust them.
cmake_extra=()
if command -v ccache >/dev/null; then
  cmake_extra+=(-DQT_USE_CCACHE=ON)
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
fi

mkdir -p "$cache/build"
(
  cd "$cache/build"
  "$src/configure" -prefix "$prefix" "${configure_flags[@]}" -qt-host-path /usr -- -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$cache/mingw.cmake" -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${cmake_extra[@]}" >"$cache/configure.log" 2>&1 || { tail -n 40 "$cache/configure.log" >&2; exit 1; }
  echo "Qt configured in $((SECONDS - started)) s" >&2
  cmake --build . --parallel "$(nproc)" >"$cache/build.log" 2>&1 || { tail -n 40 "$cache/build.log" >&2; exit 1; }
  cmake --install . >"$cache/install.log" 2>&1 || { tail -n 40 "$cache/install.log" >&2; exit 1; }
)
rm -rf "$cache/build" "$cache/source" "$cache/apt"
touch "$cache/complete"
echo "Qt for Windows built in $((SECONDS - started)) s: $prefix" >&2
echo "$prefix"
