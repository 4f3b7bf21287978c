#!/usr/bin/env bash
# The Wine half of `make bench`: Marrowick in the stand-in host blackbox.exe
# under Wine, timed by the host's perf command from the broadcast to the
# fully painted list, beside the floor (the host drawing the same rows with
# the same calls into a window of the same size), for 10 and 100 entries, in
# solid and in gradient styles. Prints one table of medians.
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
export WINEPREFIX="$root/build/bench/wineprefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

for file in "$bin/blackbox.exe" "$dll"; do
    [ -e "$file" ] || { echo "wine-bench: $file is missing; run 'make dll'" >&2; exit 1; }
done
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX" >&2
# One session per prefix at a time.
exec 7>"$WINEPREFIX.session.lock"
flock -w 600 7 || { echo "wine-bench: another run holds $WINEPREFIX" >&2; exit 1; }

winpath() { echo "Z:${1//\//\\}"; }

pids=()
cleanup() {
    local status=$?
    [ -n "${wineserver_pid:-}" ] && timeout 10 wineserver -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    exit $status
}
trap cleanup EXIT INT TERM

rm -rf "$work"
mkdir -p "$work/plugin"
cp "$dll" "$work/plugin/"  # no Marrowick.rc beside it: the default settings

display_file="$work/display"
Xvfb -displayfd 3 -screen 0 1280x2400x24 -nolisten tcp -noreset 3>"$display_file" \
    2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 150); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "wine-bench: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$display_file")"

timeout 10 wineserver -k 2>/dev/null || true
wineserver -f -p 2>/dev/null &
wineserver_pid=$!
pids+=($wineserver_pid)

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
pids+=($host_pid)
wait $host_pid || { echo "wine-bench: the host failed (see $work/host.log)" >&2; exit 1; }
if grep -q '^error' "$work/host.log" || [ "$(grep -c '^perf ' "$work/host.log")" -ne 4 ]; then
    echo "wine-bench: the host did not time every case:" >&2
    grep -E '^(error|perf)' "$work/host.log" >&2
    exit 1
fi

echo
echo "Under Wine: from the bro@m to the painted list, median microseconds"
echo "(blackbox.exe, $iterations_10 and $iterations_100 runs, floor: the same rows drawn by the host)"
awk -v styles="solid solid gradient gradient" '
    BEGIN {
        split(styles, style, " ")
        printf "%-9s %5s %9s %9s %9s %8s %8s %10s\n", "style", "rows", "show", "next", \
            "floor", "show/fl", "next/fl", "unpainted"
    }
    /^perf / {
        for (i = 2; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
        ++n
        printf "%-9s %5d %9.0f %9.0f %9.0f %8.2f %8.2f %10d\n", style[n], f["rows"], \
            f["show_us"], f["next_us"], f["floor_us"], f["show_ratio"], f["next_ratio"], \
            f["unpainted"]
    }' "$work/host.log"
echo "show: Next on the hidden list (count, layout, show, paint); next: Next on the shown list"
echo "(highlight moves, repaint); floor: the host repainting a window of the list's size with"
echo "the style fill, DrawIconEx and DrawTextA of the same rows in the same font."
