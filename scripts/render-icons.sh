#!/usr/bin/env bash
# Draws the 48 and 256 pixel icons from the scalable one, after a change to
# packaging/icons/org.varnformat.convertor.svg (needs rsvg-convert,
# package librsvg2-bin). The pictures are checked in: the window builds them in.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
id=org.varnformat.convertor
for size in 48 256; do
    rsvg-convert -w "$size" -h "$size" "$id.svg" -o "$id-$size.png"
    echo "packaging/icons/$id-$size.png"
done
