#!/usr/bin/env bash
# Makes SQLite's one-file source (the "amalgamation", sqlite3.c and sqlite3.h) from Debian's own
# sqlite3 source package, the same version as the host's libsqlite3-dev, once, and keeps it in the
# user's cache folder; the Windows build compiles it into the program. Later runs find it there and
# only print its folder.
#   scripts/windows-sqlite.sh        prints the folder holding sqlite3.c (making it when missing)
# The machine's apt configuration is left alone: the source package is fetched through a private
# one, as scripts/windows-qt.sh fetches Qt's.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/packages.sh dpkg-dev tcl >&2

version=$(dpkg-query -W -f='${Version}' libsqlite3-dev)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/orvasel/sqlite-$version
if [ -f "$cache/complete" ]; then
  echo "$cache/amalgamation"
  exit 0
fi

started=$SECONDS
echo "Making SQLite $version's amalgamation for Windows into $cache (once)" >&2
rm -rf "$cache"
mkdir -p "$cache/apt/lists/partial" "$cache/apt/cache/archives/partial" "$cache/apt/parts" "$cache/source"
apt_options=(-o Dir::State::Lists="$cache/apt/lists" -o Dir::Cache="$cache/apt/cache")
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
  sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$cache/apt/parts/debian.sources"
  apt_options+=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$cache/apt/parts")
else
  sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$cache/apt/sources.list"
  apt_options+=(-o Dir::Etc::SourceList="$cache/apt/sources.list" -o Dir::Etc::SourceParts="$cache/apt/parts")
fi
apt-get "${apt_options[@]}" update -qq >&2
(cd "$cache/source" && apt-get "${apt_options[@]}" source --download-only "sqlite3=$version" >&2)
# Unpacked with Debian's own changes applied, as the host's library was built.
(cd "$cache/source" && dpkg-source --no-check -x sqlite3_*.dsc tree >/dev/null)
# The amalgamation is generated from the sources by the build's own tools (Tcl); configuring for the
# host is enough to generate it.
(
  cd "$cache/source/tree"
  ./configure --disable-tcl >"$cache/configure.log" 2>&1 || { tail -n 30 "$cache/configure.log" >&2; exit 1; }
  make sqlite3.c >"$cache/make.log" 2>&1 || { tail -n 30 "$cache/make.log" >&2; exit 1; }
)
mkdir -p "$cache/amalgamation"
cp "$cache/source/tree/sqlite3.c" "$cache/source/tree/sqlite3.h" "$cache/amalgamation/"
cp "$cache/source/tree/LICENSE.md" "$cache/amalgamation/" 2>/dev/null || true
rm -rf "$cache/source" "$cache/apt"
touch "$cache/complete"
echo "SQLite's amalgamation made in $((SECONDS - started)) s: $cache/amalgamation" >&2
echo "$cache/amalgamation"
