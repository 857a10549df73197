#!/usr/bin/env bash
# Builds Orvasel with its tests and benchmarks, and runs every test; runs them again under the
# sanitizers; builds the whole program and its tests for Windows and runs them under Wine, with the
# real program started once on a virtual display and the packages installed and removed; and fuzzes
# the file readers and the conversions that a note from anyone reaches. Any warning of the compiler
# and any failure in any step fails the run.
# The first run also builds Qt for Windows (about half an hour of a 2-core machine), kept in
# the user's cache folder for the next runs; it builds in the background while the Linux stages run.
# Each stage prints its time; ORVASEL_FUZZ_SECONDS sets the time given to each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/packages.sh g++-mingw-w64-x86-64-posix wine64 wine clang libclang-rt-14-dev googletest \
  ninja-build dpkg-dev nsis openbox xdotool imagemagick ccache libglib2.0-bin libfuse3-dev fuse3
jobs=$(nproc)
# About 90 s of fuzzing in all, shared between the targets.
fuzz_seconds=${ORVASEL_FUZZ_SECONDS:-12}
# One word per target: tests/fuzz/<target>_fuzz.cpp with its seed corpus tests/fuzz/corpus/<target>.
fuzz_targets=(settings info_file settings_merge command_line long_path code_page project_file csv_export)
started=$SECONDS

# The compiler cache serves every build of this command, wherever the clone lies: paths are taken
# relative to the clone, and so is the debug information.
cache_options=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$PWD
  cache_options=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache "-DCMAKE_CXX_FLAGS=-ffile-prefix-map=$PWD/=")
fi
# Every build below fails on the first warning.
common=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVASEL_WERROR=ON "${cache_options[@]}")

step() {
  echo
  echo "== $1"
  step_started=$SECONDS
}
step_done() {
  echo "== done in $((SECONDS - step_started)) s"
}
# A stage that runs beside the others, in a process group of its own (ended with the run if the run
# fails first); its output goes to a log, shown when it is awaited.
background_pids=()
background() {  # name, command...
  local name=$1
  shift
  setsid "$@" >"build-logs/$name.log" 2>&1 &
  background_pids+=($!)
  eval "${name}_pid=$!"
  eval "${name}_started=$SECONDS"
}
await() {  # name, title
  local name=$1 pid started status=0
  pid=${name}_pid
  started=${name}_started
  wait "${!pid}" || status=$?
  echo
  echo "== $2 (beside the other stages): $((SECONDS - ${!started})) s"
  if ((status != 0)); then
    tail -n 60 "build-logs/$name.log"
    echo "== $2 failed (the whole log: build-logs/$name.log)"
    exit 1
  fi
  cat "build-logs/$name.log"
}
mkdir -p build-logs
wine_prefix=
cleanup() {
  local pid
  for pid in "${background_pids[@]}"; do
    kill -- "-$pid" 2>/dev/null || true
  done
  if [[ -n $wine_prefix ]]; then
    WINEPREFIX=$wine_prefix wineserver -k >/dev/null 2>&1 || true
    rm -rf "$wine_prefix"
  fi
}
trap cleanup EXIT

# Qt for Windows takes long once: it builds while the Linux stages run; so is SQLite's one-file
# source made, which the Windows build compiles in (Qt for Windows has no SQL module).
background windows_qt scripts/windows-qt.sh
background windows_sqlite scripts/windows-sqlite.sh

step "Tests"
cmake -S . -B build-tests "${common[@]}" >/dev/null
cmake --build build-tests -j"$jobs"
ctest --test-dir build-tests --output-on-failure -j"$jobs"
step_done

step "Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan "${common[@]}" -DORVASEL_SANITIZE=ON -DORVASEL_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
step_done

step "Fuzz targets of the file readers, the settings merge, the player's command line, long paths and the code page"
CXX=clang++ cmake -S . -B build-fuzz "${common[@]}" -DORVASEL_FUZZ=ON -DORVASEL_GUI=OFF -DORVASEL_TESTS=OFF \
  -DORVASEL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs"
step_done

await windows_qt "Qt for Windows"
windows_qt=$(scripts/windows-qt.sh 2>/dev/null)
await windows_sqlite "SQLite's source for Windows"
windows_sqlite=$(scripts/windows-sqlite.sh 2>/dev/null)

step "Windows build of the program and its tests, run under Wine"
cmake -S . -B build-win -G Ninja "${common[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DORVASEL_WINDOWS_QT="$windows_qt" -DORVASEL_SQLITE_SOURCE="$windows_sqlite" -DORVASEL_BENCH=OFF >/dev/null
cmake --build build-win -j"$jobs"
# A Wine of its own, made at the first start, and ended with the run.
wine_prefix=$(mktemp -d)
export WINEDEBUG=-all
WINEPREFIX=$wine_prefix wineboot --init >/dev/null 2>&1 || true
WINEPREFIX=$wine_prefix ctest --test-dir build-win --output-on-failure -j"$jobs"
step_done

# The fuzzers take one core, each in turn; the Windows runs below mostly wait on Wine.
background fuzz scripts/fuzz.sh "$fuzz_seconds" "${fuzz_targets[@]}"

step "The Windows program under Wine on a virtual display"
scripts/windows-smoke.sh build-win/bin build-win/orvasel-windows.png
step_done

step "What a Windows user downloads: the zip and the installer, installed and removed under Wine"
scripts/package-windows.sh build-win build-win/packages
scripts/windows-package-check.sh build-win/packages
step_done

await fuzz "Fuzzing ${fuzz_targets[*]}, ${fuzz_seconds} s each"

echo
echo "== All passed in $((SECONDS - started)) s"
