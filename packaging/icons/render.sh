#!/usr/bin/env bash
# Renders the icon's PNGs for the hicolor theme from org.kestrellog.Kestrel.svg. The PNGs are
# committed, so building Kestrel does not need this; run it after changing the drawing:
#   packaging/icons/render.sh        (needs rsvg-convert, Debian package librsvg2-bin)
set -euo pipefail
cd "$(dirname "$0")"
svg=org.kestrellog.Kestrel.svg
for size in 16 22 24 32 48 64 128 256; do
    # Thin strokes vanish at the small sizes, so the signal's arcs get thicker there.
    if [ "$size" -lt 48 ]; then
        sed 's/stroke-width="3.6"/stroke-width="4.6"/' "$svg"
    else
        cat "$svg"
    fi | rsvg-convert -w "$size" -h "$size" -o "${size}.png"
    echo "${size}.png"
done
