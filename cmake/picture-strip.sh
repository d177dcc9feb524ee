#!/usr/bin/env bash
# picture-strip.sh OUTPUT PICTURE_DIR KEY BACKGROUND [TABLE] -- NAME...
# Builds a bitmap strip (24-bit BMP) from 16x16 PNG pictures, left to right.
# A NAME is looked up in TABLE (lines "name picture"; "#" starts a comment)
# when one is given, else it is the picture's file name without ".png".
# Pixels that are mostly transparent become the KEY colour (the colour the
# program treats as transparent); the soft edges of the others are blended
# with BACKGROUND, the colour the pictures are shown on.
set -euo pipefail
output="$1" dir="$2" key="$3" background="$4"
shift 4
table=""
if [ "$1" != "--" ]; then table="$1"; shift; fi
shift

picture_of() {
    local name="$1"
    [ -z "$table" ] && { echo "$name"; return; }
    local picture
    picture="$(awk -v n="$name" '!/^[ \t]*#/ && $1 == n { print $2; exit }' "$table")"
    if [ -z "$picture" ]; then
        echo "picture-strip: $table names no picture for $name" >&2
        exit 1
    fi
    echo "$picture"
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cells=()
for name in "$@"; do
    picture="$(picture_of "$name")"
    png="$dir/$picture.png"
    if [ ! -f "$png" ]; then
        echo "picture-strip: no picture $png (for $name)" >&2
        exit 1
    fi
    cell="$work/${#cells[@]}.png"
    convert -size 16x16 "xc:$key" \
        \( "$png" -background "$background" -flatten \) \
        \( "$png" -alpha extract -threshold 40% \) \
        -composite "$cell"
    cells+=("$cell")
done
mkdir -p "$(dirname "$output")"
convert "${cells[@]}" +append -alpha off -type TrueColor "BMP3:$output.tmp"
mv "$output.tmp" "$output"
