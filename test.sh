#!/usr/bin/env bash
# Sets up, builds and runs every test. Exits non-zero on any failure.
# KESTREL_SANITIZE=1 ./test.sh runs the same tests under the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup

build=build
san=OFF
if [ "${KESTREL_SANITIZE:-0}" = 1 ]; then
    build=build-sanitize
    san=ON
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_WERROR=ON -DKESTREL_SANITIZE=$san >/dev/null
cmake --build "$build"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j2
