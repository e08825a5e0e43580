#!/usr/bin/env bash
# Sets up, builds and runs every test. Exits non-zero on any failure.
# KESTREL_SANITIZE=1 ./test.sh runs the same tests under the address and undefined-behaviour
# sanitizers, then the threaded tests under the thread sanitizer, then every fuzz target for a
# short while.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup

# One compiler cache for every checkout of the tree, wherever it stands (CI clones afresh).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

build=build
san=OFF
if [ "${KESTREL_SANITIZE:-0}" = 1 ]; then
    build=build-sanitize
    san=ON
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
    scripts/check-format
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_WERROR=ON -DKESTREL_SANITIZE=$san >/dev/null
cmake --build "$build"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j2

if [ "$san" = ON ]; then
    # Work handed between threads, under the thread sanitizer: only the tests that start threads.
    threaded=(ui_thread_test io_test posix_test keyer_test digital_test online_test adif_halves_test index_halves_test)
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_WERROR=ON -DKESTREL_TSAN=ON \
        -DKESTREL_BUILD_BENCH=OFF >/dev/null
    cmake --build build-tsan --target "${threaded[@]}"
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
    ctest --test-dir build-tsan --output-on-failure -j2 -R '^(ThreadPost|FakeSteadyClock|PosixSteadyClock|Keyer|Listener|DigitalIntake|AdifImportInHalves|RecordIndexInHalves)\.'

    # Every reader of outside data, fuzzed for a short fixed time (longer: scripts/fuzz 3600).
    scripts/fuzz 10
fi
