#!/usr/bin/env bash
# The demo: Marrowick in the stand-in host blackbox.exe under Wine, with a tray
# of six entries owned by three tray programs. It plays a short bro@m session
# (show, move, wrap, a right click, a double click), saves a PNG of each step
# in out/demo/ and prints what each tray program received.
#
#   scripts/demo.sh                  run the session and exit (Xvfb when no $DISPLAY)
#   INTERACTIVE=1 scripts/demo.sh    stay up on $DISPLAY for a person to drive with
#                                    scripts/demo-exec.sh '@Marrowick.Next' ...
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/win32/devhost"
out="$root/out/demo"
interactive=${INTERACTIVE:-0}
. "$root/scripts/wine-session.sh"

for file in "$bin/blackbox.exe" "$bin/trayapp.exe" "$root/build/win32/Marrowick.dll"; do
    [ -e "$file" ] || { echo "demo: $file is missing; run 'make demo'" >&2; exit 1; }
done
if [ "$interactive" = 1 ] && [ -z "${DISPLAY:-}" ]; then
    echo "demo: INTERACTIVE=1 needs a display (\$DISPLAY is not set)" >&2
    exit 1
fi

wine_session demo "$root/build/demo/wineprefix"
if [ -z "${DISPLAY:-}" ]; then
    start_xvfb 1024x768x24
    echo "demo: Xvfb on $DISPLAY"
fi
start_wineserver

rm -rf "$out"
mkdir -p "$out/plugin"
cp "$root/build/win32/Marrowick.dll" "$out/plugin/"
cp "$root/devhost/demo/Marrowick.rc" "$out/plugin/"

wine "$bin/blackbox.exe" -log "$(winpath "$out/host.log")" \
    "$(winpath "$out/plugin/Marrowick.dll")" >"$out/host.out" 2>&1 &
host_pid=$!
track $host_pid
wait_for "grep -q '^ready ' '$out/host.log' 2>/dev/null" 60 ||
    { echo "demo: the host did not start" >&2; cat "$out/host.log" >&2; exit 1; }
grep '^plugin ' "$out/host.log" | sed 's/^/demo: /'

# Three tray programs, two entries each: "ID #colour LETTER tip" ("\n": line break).
start_tray() {
    local name=$1
    shift
    wine "$bin/trayapp.exe" -name "$name" -log "$(winpath "$out/$name.log")" "$@" \
        >"$out/$name.out" 2>&1 &
    track $!
    wait_for "grep -q '^ready' '$out/$name.out' 2>/dev/null" 60 ||
        { echo "demo: tray program $name did not start" >&2; exit 1; }
}
start_tray sound '1 #2f7fe0 V Volume 40%\nMuted' '2 #9050c8 P Music player: paused'
start_tray network '1 #2fa050 N Network: Wired\nConnected, 100 Mbit/s' '2 #607080 K VPN: off'
start_tray mail '1 #e08a20 M Mail: 3 new messages' '2 #c83c3c B Backup finished\n1,204 files'
echo "demo: tray of 6 entries from 3 programs"

if [ "$interactive" = 1 ]; then
    cat <<EOF
demo: the host runs on $DISPLAY. Drive it from another shell, for example:
    scripts/demo-exec.sh '@Marrowick.Next'
    scripts/demo-exec.sh '@Marrowick.Send RightClick'
    scripts/demo-exec.sh 'screenshot $(winpath "$out/shot.bmp")'
    scripts/demo-exec.sh quit          (ends the demo)
What the tray programs receive is logged in $out/*.log.
EOF
    wait "$host_pid" || true
    exit 0
fi

shot() { echo "screenshot $(winpath "$out/$1.bmp")"; }
cat >"$out/session.txt" <<EOF
# Show the list: the first row is highlighted.
@Marrowick.Next
$(shot 01-shown)
@Marrowick.Next
$(shot 02-next)
@Marrowick.Next
@Marrowick.Next
@Marrowick.Next
@Marrowick.Next
$(shot 03-last-row)
# Past the last row the highlight wraps to the first, and back.
@Marrowick.Next
$(shot 04-wrapped-to-first)
@Marrowick.Prev
$(shot 05-wrapped-to-last)
@Marrowick.Prev
$(shot 06-on-mail)
# A right click on the mail entry; the list hides.
@Marrowick.Send RightClick
$(shot 07-right-click-sent)
# Prev on a hidden list shows it with the last row highlighted.
@Marrowick.Prev
$(shot 08-shown-on-last-row)
@Marrowick.Next
$(shot 09-on-volume)
# A double click on the volume entry.
@Marrowick.Send LeftDoubleClick
wait 300
quit
EOF
wine "$bin/blackbox.exe" -exec "script $(winpath "$out/session.txt")" >/dev/null
wait_for "! kill -0 $host_pid 2>/dev/null" 120 || { echo "demo: the session did not end" >&2; exit 1; }
wait "$host_pid" || { echo "demo: the host failed" >&2; exit 1; }

echo "demo: the session, as the host ran it:"
tr -d '\r' <"$out/host.log" |
    sed -n 's/^run \(@.*\)/    \1/p; s/^run screenshot .*\\\\\(.*\)\.bmp$/        -> \1.png/p'

shots=0
for bmp in "$out"/*.bmp; do
    # The middle of the screen, where the list is.
    convert "$bmp" -gravity center -crop 560x280+0+0 +repage "${bmp%.bmp}.png"
    rm "$bmp"
    shots=$((shots + 1))
done
echo "demo: $shots screenshots in ${out#$root/}/:"
ls "$out"/*.png | sed "s|^$root/|    |"
for name in sound network mail; do
    echo "demo: $name received:"
    if [ -s "$out/$name.log" ]; then tr -d '\r' <"$out/$name.log" | sed 's/^/    /'; else echo "    nothing"; fi
done
expected='sound id=1 WM_LBUTTONDOWN
sound id=1 WM_LBUTTONUP
sound id=1 WM_LBUTTONDBLCLK
sound id=1 WM_LBUTTONUP
mail id=1 WM_RBUTTONDOWN
mail id=1 WM_RBUTTONUP'
received=$(cat "$out/sound.log" "$out/mail.log" "$out/network.log" | tr -d '\r')
[ "$received" = "$expected" ] || { echo "demo: unexpected clicks" >&2; exit 1; }
[ "$shots" -eq 9 ] || { echo "demo: expected 9 screenshots" >&2; exit 1; }
echo "demo: done"
