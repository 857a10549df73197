#!/usr/bin/env bash
# Builds Orvasel with its tests and benchmarks, and runs every test; runs them again under the
# sanitizers; builds the whole program and its tests for Windows and runs them under Wine, with the
# real program started once on a virtual display; and fuzzes the two file readers.
# Any failure in any step fails the run. The first run also builds Qt for Windows (about 20 minutes
# on 2 cores), kept in the user's cache folder for the next runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/packages.sh g++-mingw-w64-x86-64-posix wine64 wine clang libclang-rt-14-dev googletest \
  ninja-build dpkg-dev nsis openbox xdotool imagemagick
jobs=$(nproc)
fuzz_seconds=${ORVASEL_FUZZ_SECONDS:-60}

step() {
  echo
  echo "== $1"
  step_started=$SECONDS
}
step_done() {
  echo "== done in $((SECONDS - step_started)) s"
}

step "Tests"
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-tests -j"$jobs"
ctest --test-dir build-tests --output-on-failure -j"$jobs"
step_done

step "Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVASEL_SANITIZE=ON -DORVASEL_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
step_done

step "Qt for Windows"
windows_qt=$(scripts/windows-qt.sh)
step_done

step "Windows build of the program and its tests, run under Wine"
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DORVASEL_WINDOWS_QT="$windows_qt" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVASEL_BENCH=OFF >/dev/null
cmake --build build-win -j"$jobs"
# A Wine of its own, made at the first start, and ended with the run.
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
wineboot --init >/dev/null 2>&1 || true
ctest --test-dir build-win --output-on-failure -j"$jobs"
step_done

step "The Windows program under Wine on a virtual display"
scripts/windows-smoke.sh build-win/bin build-win/orvasel-windows.png
step_done

step "What a Windows user downloads: the zip and the installer, installed and removed under Wine"
scripts/package-windows.sh build-win build-win/packages
scripts/windows-package-check.sh build-win/packages
step_done

step "Fuzzing the two file readers and the settings merge, ${fuzz_seconds} s each"
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVASEL_FUZZ=ON \
  -DORVASEL_GUI=OFF -DORVASEL_TESTS=OFF -DORVASEL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs"
for target in settings info_file settings_merge; do
  # New inputs go to a working copy; the seed corpus in tests/ stays as it is.
  work=build-fuzz/corpus/$target
  mkdir -p "$work"
  log=build-fuzz/$target.log
  if ! build-fuzz/orvasel_fuzz_$target -max_total_time="$fuzz_seconds" -max_len=8192 -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build-fuzz/$target- \
      "$work" tests/fuzz/corpus/$target >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "Fuzz target $target failed: the input is in build-fuzz/$target-*"
    exit 1
  fi
  echo "$target: $(grep -m1 'number_of_executed_units' "$log" | awk '{print $2}') executions, no finding"
done
step_done
