#!/usr/bin/env bash
# The Wine half of `make bench`: Marrowick in the stand-in host blackbox.exe
# under Wine, timed by the host's perf command from the broadcast to the
# fully painted list, beside two floors (the host drawing the same rows with
# the same calls into a window of the same size; the host measuring, sizing,
# showing, activating and drawing a window of its own as showing the list
# does), for 10 and 100 entries, in solid and in gradient styles, and the
# Down key of the interactive list beside the first floor. Prints one table
# of medians.
#
#   scripts/wine-bench.sh [ITERATIONS_10 [ITERATIONS_100]]
#
# It runs on a private Xvfb with a screen tall enough for 100 rows, in its
# own Wine prefix build/bench/wineprefix (made once, about 20 s).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/win32/devhost"
dll="$root/build/win32/Marrowick.dll"
work="$root/build/bench/wine"
iterations_10=${1:-200}
iterations_100=${2:-50}
unset DISPLAY
. "$root/scripts/wine-session.sh"

for file in "$bin/blackbox.exe" "$dll"; do
    [ -e "$file" ] || { echo "wine-bench: $file is missing; run 'make dll'" >&2; exit 1; }
done
wine_session wine-bench "$root/build/bench/wineprefix"

rm -rf "$work"
mkdir -p "$work/plugin"
cp "$dll" "$work/plugin/"  # no Marrowick.rc beside it: the default settings

start_xvfb 1280x2400x24 -noreset
start_wineserver

cat >"$work/solid.style" <<'EOF'
menu.frame.appearance: solid
menu.frame.color: #203040
menu.hilite.appearance: solid
menu.hilite.color: #f0a020
EOF
# "style" alone goes back to the host's built-in gradients.
cat >"$work/bench.script" <<EOF
style $(winpath "$work/solid.style")
perf 10 $iterations_10
perf 100 $iterations_100
style
perf 10 $iterations_10
perf 100 $iterations_100
quit
EOF

timeout 900 wine "$bin/blackbox.exe" -log "$(winpath "$work/host.log")" \
    -script "$(winpath "$work/bench.script")" "$(winpath "$work/plugin/Marrowick.dll")" \
    >"$work/host.out" 2>&1 &
host_pid=$!
track $host_pid
wait $host_pid || { echo "wine-bench: the host failed (see $work/host.log)" >&2; exit 1; }
if grep -q '^error' "$work/host.log" || [ "$(grep -c '^perf ' "$work/host.log")" -ne 4 ]; then
    echo "wine-bench: the host did not time every case:" >&2
    grep -E '^(error|perf)' "$work/host.log" >&2
    exit 1
fi

echo
echo "Under Wine: from the bro@m to the painted list, median microseconds"
echo "(blackbox.exe, $iterations_10 and $iterations_100 runs; the floors are the host's own windows)"
awk -v styles="solid solid gradient gradient" '
    BEGIN {
        split(styles, style, " ")
        printf "%-9s %5s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s %9s\n", "style", "rows", \
            "show", "next", "key", "floor", "key-fl", "show-fl", "show/fl", "next/fl", "key/kfl", \
            "show/sfl", "unpainted"
    }
    /^perf / {
        for (i = 2; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
        ++n
        printf "%-9s %5d %8.0f %8.0f %8.0f %8.0f %8.0f %8.0f %8.2f %8.2f %8.2f %8.2f %9d\n", \
            style[n], f["rows"], f["show_us"], f["next_us"], f["key_us"], f["floor_us"], \
            f["key_floor_us"], f["show_floor_us"], f["show_ratio"], f["next_ratio"], \
            f["key_ratio"], f["show_floor_ratio"], f["unpainted"]
    }' "$work/host.log"
echo "show: Next on the hidden list (count, layout, show, paint); next: Next on the shown list"
echo "(highlight moves, repaint); key: a Down key on the shown interactive list (highlight"
echo "moves, is named for screen readers, repaint); floor: the host repainting a window of the"
echo "list's size with the style fill, DrawIconEx and DrawTextA of the same rows in the same"
echo "font; key-fl: the same floor, timed in turn with key; show-fl: the host measuring the"
echo "rows' texts (DrawTextA DT_CALCRECT), sizing, showing, activating and painting as the"
echo "floor a hidden window of the list's styles. The goals: show/sfl, next/fl, key/kfl <= 1.10."
