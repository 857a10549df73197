#!/usr/bin/env bash
# Builds the minimal Qt 6 for 64-bit Windows (MinGW-w64) that Orvasel needs, from Debian's own
# qtbase source package (the same version as the host's qt6-base-dev), once, and keeps it in the
# user's cache folder. Later runs find it there and only print its place.
#   scripts/windows-qt.sh            prints the prefix of the Windows Qt (building it when missing)
# The machine's apt configuration is left alone: the source package is fetched through a private
# one, kept beside the build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/packages.sh g++-mingw-w64-x86-64-posix ninja-build dpkg-dev >&2

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version%%+*}
upstream=${upstream%%-*}
configure_flags=(
  -xplatform win32-g++ -release -shared -nomake examples -nomake tests
  -no-opengl -no-dbus -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-xml
  -no-feature-concurrent -no-feature-vulkan -no-feature-tabletevent -no-feature-direct2d
  -qt-zlib -qt-libpng -no-libjpeg -qt-pcre -qt-harfbuzz -qt-freetype -qt-doubleconversion
)
key=$(printf '%s\n' "$version" "${configure_flags[@]}" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/orvasel/qt-$upstream-mingw-$key
prefix=$cache/prefix

if [ -f "$cache/complete" ]; then
  echo "$prefix"
  exit 0
fi

started=$SECONDS
echo "Building Qt $upstream for Windows into $cache (once; about 20 minutes on 2 cores)" >&2
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

# Debian's tarball leaves out the Windows tablet code, and the Windows platform plugin uses the
# DirectWrite font database under a guard that Gui does not share: make both guards require Gui's.
plugin=$src/src/plugins/platforms/windows/qwindowsintegration.cpp
sed -i -e 's/#if QT_CONFIG(directwrite3)/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' "$plugin"

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

mkdir -p "$cache/build"
(
  cd "$cache/build"
  "$src/configure" -prefix "$prefix" "${configure_flags[@]}" -qt-host-path /usr -- -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$cache/mingw.cmake" -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    >"$cache/configure.log" 2>&1 || { tail -n 40 "$cache/configure.log" >&2; exit 1; }
  cmake --build . --parallel "$(nproc)" >"$cache/build.log" 2>&1 || { tail -n 40 "$cache/build.log" >&2; exit 1; }
  cmake --install . >"$cache/install.log" 2>&1 || { tail -n 40 "$cache/install.log" >&2; exit 1; }
)
rm -rf "$cache/build" "$cache/source" "$cache/apt"
touch "$cache/complete"
echo "Qt for Windows built in $((SECONDS - started)) s: $prefix" >&2
echo "$prefix"
