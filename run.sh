#!/usr/bin/env bash
# Sets up, builds and starts Kestrel. The program finds its own data directory (--home DIR, else
# $KESTREL_HOME, else ~/kestrel) and gives a new one the files that come with it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
scripts/setup

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target kestrel
exec "$here/build/src/app/kestrel" "$@"
