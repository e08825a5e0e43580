#!/usr/bin/env bash
# Sets up, builds and starts Kestrel in its data directory, ${KESTREL_HOME:-$HOME/kestrel}.
# A new data directory is created and seeded with the files that come with the program;
# a file already there is never overwritten.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
scripts/setup

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target kestrel

home="${KESTREL_HOME:-$HOME/kestrel}"
mkdir -p "$home"
if [ -d resources/data ]; then
    for f in resources/data/*; do
        [ -f "$f" ] || continue
        [ -e "$home/$(basename "$f")" ] || cp "$f" "$home/"
    done
fi
cd "$home"
exec "$here/build/src/app/kestrel" "$@"
