#!/usr/bin/env bash
# The files of traylist/ call one another one way only: from the window
# procedure's and the bro@m parser's side through the list's state machine
# (traylist/list.cpp) to the helpers, never back. Each object file of the
# plug-in's native library that comes from traylist/ is a node; a symbol it
# uses that another of them defines (a function called, a variable read) is an
# edge to that one. tsort orders the graph and fails, naming the files of the
# circle, when it has one. With -v the edges are printed too.
#
#   call_circle_test.sh [-v] build/native/tests/libplugin_native.a
set -euo pipefail

verbose=0
if [ "${1:-}" = -v ]; then verbose=1; shift; fi
archive=$(realpath "${1:?usage: call_circle_test.sh [-v] LIBRARY}")
cd "$(dirname "$0")/../.."
members=$(for source in traylist/*.cpp; do echo "$(basename "$source").o"; done)
is_member() { grep -qx "$1" <<<"$members"; }

# "member symbol" for every strong definition (nm's T, D, B, R) of a traylist member.
definitions=$(nm -A -g --defined-only "$archive" 2>/dev/null |
    awk -F'[: ]+' '$4 ~ /^[TDBR]$/ {print $2, $5}')
edges() {
    local member symbol defined
    for member in $members; do
        echo "$member $member"
        nm -u "$archive" 2>/dev/null | awk -v m="$member:" '$0 == m {on = 1; next} /:$/ {on = 0} on {print $2}' |
            while read -r symbol; do
                defined=$(awk -v s="$symbol" '$2 == s {print $1; exit}' <<<"$definitions")
                if [ -n "$defined" ] && [ "$defined" != "$member" ] && is_member "$defined"; then
                    echo "$member $defined"
                fi
            done
    done | sort -u
}
graph=$(edges)
if [ "$verbose" = 1 ]; then awk '$1 != $2 {print $1, "->", $2}' <<<"$graph"; fi
if ! tsort <<<"$graph" >/dev/null; then
    echo "FAIL the files of traylist/ above call one another in a circle" >&2
    exit 1
fi
echo "traylist/: $(wc -w <<<"$members") files, $(awk '$1 != $2' <<<"$graph" | wc -l) calls between them, no circle"
