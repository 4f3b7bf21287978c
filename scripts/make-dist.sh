#!/usr/bin/env bash
# Packs the release: the plug-in, its sample settings and the user guide,
# made from docs/reference.md, in one zip named after the version in
# plugin/version.h.
#   scripts/make-dist.sh DLL OUT_DIR    makes OUT_DIR/Marrowick-<version>.zip
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 DLL OUT_DIR" >&2; exit 2; }
root="$(cd "$(dirname "$0")/.." && pwd)"
dll="$1"
mkdir -p "$2"
out="$(cd "$2" && pwd)"

version="$(sed -n 's/^#define MARROWICK_VERSION "\([^"]*\)"$/\1/p' "$root/plugin/version.h")"
if [ -z "$version" ]; then
    echo "make-dist: no MARROWICK_VERSION in plugin/version.h" >&2
    exit 1
fi
zip_file="$out/Marrowick-$version.zip"

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$dll" "$stage/Marrowick.dll"
# Windows line ends, so that any Windows editor shows the texts as lines.
sed 's/\r*$/\r/' "$root/package/Marrowick.rc" >"$stage/Marrowick.rc"
bash "$root/scripts/make-guide.sh" "$root/docs/reference.md" | sed 's/\r*$/\r/' >"$stage/GUIDE.txt"

# The same sources give the same zip: every file carries the time of the last
# commit (or SOURCE_DATE_EPOCH), not the time of this build.
stamp="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}"
touch -d "@$stamp" "$stage"/*

# zip adds to an existing archive, so a new one starts from nothing.
rm -f "$zip_file"
(cd "$stage" && TZ=UTC zip -q -X -D "$zip_file" Marrowick.dll Marrowick.rc GUIDE.txt)

listing="$(unzip -Z1 "$zip_file" | tr '\n' ' ')"
if [ "$listing" != "Marrowick.dll Marrowick.rc GUIDE.txt " ]; then
    echo "make-dist: $zip_file holds: $listing" >&2
    exit 1
fi
echo "$zip_file"
