#!/usr/bin/env bash
# The stand-in shell's headers include one another without a circle. Each
# '#include "devhost/..."' line of a header under devhost/ is an edge from the
# header to the one it names; tsort orders the graph and fails, naming the
# headers of the circle, when it has one. (With #pragma once a circle still
# compiles, so the compiler would not tell.)
set -euo pipefail

cd "$(dirname "$0")/../.."
edges() {
    local header included
    for header in $(find devhost -name '*.h' | sort); do
        echo "$header $header"
        sed -n 's|^#include "\(devhost/[^"]*\)".*|\1|p' "$header" | while read -r included; do
            echo "$header $included"
        done
    done
}
if ! edges | tsort >/dev/null; then
    echo "FAIL the headers above include one another in a circle" >&2
    exit 1
fi
