#!/usr/bin/env bash
# The demo: Marrowick in the stand-in host blackbox.exe, which is Wine's
# system tray, with six icons of three unmodified tray programs that put
# them in with Shell_NotifyIcon: two that declared no notification version
# (32-bit, one through Shell_NotifyIconW, one through Shell_NotifyIconA) and
# one of version 4 (64-bit). It plays a short bro@m session (show, move,
# wrap, a right click that opens a program's real menu and an item chosen
# from it, a double click that opens a program's window, and the version-4
# program clicked in the classic form and in its own), saves a PNG of each
# step and an animated GIF of them all in out/demo/, and prints what each
# tray program received, decoded as its version reads it.
#
#   scripts/demo.sh                  run the session and exit (Xvfb when no $DISPLAY)
#   INTERACTIVE=1 scripts/demo.sh    stay up on $DISPLAY for a person to drive with
#                                    scripts/demo-exec.sh '@Marrowick.Next' ...,
#                                    with any Windows tray program started beside it
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/win32/devhost"
bin64="$root/build/win64/devhost"
out="$root/out/demo"
interactive=${INTERACTIVE:-0}
. "$root/scripts/wine-session.sh"

for file in "$bin/blackbox.exe" "$bin/trayapp.exe" "$bin64/trayapp64.exe" \
    "$root/build/win32/Marrowick.dll"; do
    [ -e "$file" ] || { echo "demo: $file is missing; run './run demo'" >&2; exit 1; }
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
grep -E '^(plugin|tray window) ' "$out/host.log" | sed 's/^/demo: /'

# Three tray programs, two icons each: "ID #colour LETTER tip" ("\n": line
# break); the options before the icons choose the program's kind.
start_tray() {
    local program=$1 name=$2
    shift 2
    wine "$program" -name "$name" -log "$(winpath "$out/$name.log")" "$@" \
        >"$out/$name.out" 2>&1 &
    track $!
    wait_for "grep -q '^ready' '$out/$name.out' 2>/dev/null" 60 ||
        { echo "demo: tray program $name did not start" >&2; exit 1; }
}
start_tray "$bin/trayapp.exe" mail \
    '1 #e08a20 M Mail: 3 new messages' '2 #c83c3c B Backup finished\n1,204 files'
start_tray "$bin/trayapp.exe" sound -ansi \
    '1 #2f7fe0 V Volume 40%\nMuted' '2 #9050c8 P Music player: paused'
start_tray "$bin64/trayapp64.exe" network -version 4 \
    '1 #2fa050 N Network: Wired\nConnected, 100 Mbit/s' '2 #607080 K VPN: off'
echo "demo: 6 icons from 3 programs, put in with Shell_NotifyIcon: mail (32-bit),"
echo "    sound (32-bit, the ANSI call), network (64-bit, notification version 4)"

if [ "$interactive" = 1 ]; then
    cat <<EOF
demo: the host runs on $DISPLAY. Drive it from another shell, for example:
    scripts/demo-exec.sh '@Marrowick.Next'
    scripts/demo-exec.sh '@Marrowick.Send RightClick'
    scripts/demo-exec.sh 'key escape'
    scripts/demo-exec.sh 'screenshot $(winpath "$out/shot.bmp")'
    scripts/demo-exec.sh tray          (the tray, one icon a line, in $out/host.log)
    scripts/demo-exec.sh quit          (ends the demo)
Any Windows program with a tray icon joins the tray when started beside it:
    WINEPREFIX=$WINEPREFIX wine some-program.exe
What the tray programs receive is logged in $out/*.log.
EOF
    wait "$host_pid" || true
    exit 0
fi

shot() { echo "screenshot $(winpath "$out/$1.bmp")"; }
cat >"$out/session1.txt" <<EOF
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
# The network program declared version 4: a right click in the classic
# form, the default, means nothing to it.
@Marrowick.Send RightClick
# A right click on the mail icon opens the mail program's own menu...
@Marrowick.Next
$(shot 06-on-mail)
@Marrowick.Send RightClick
wait 300
$(shot 07-mail-menu)
# ...and its first item, chosen with the keyboard, opens its window.
key down
$(shot 08-menu-item)
key return
wait 300
$(shot 09-mail-window)
# A double click on the volume icon opens the sound program's window.
@Marrowick.Prev
@Marrowick.Prev
@Marrowick.Prev
@Marrowick.Prev
$(shot 10-on-volume)
@Marrowick.Send LeftDoubleClick
wait 300
$(shot 11-sound-window)
EOF
# Then, with marrowick.notify_version 4, the form version-4 programs read.
cat >"$out/session2.txt" <<EOF
reconfigure
@Marrowick.Prev
@Marrowick.Prev
$(shot 12-on-network)
@Marrowick.Send RightClick
wait 300
$(shot 13-network-menu)
key escape
wait 300
quit
EOF
wine "$bin/blackbox.exe" -exec "script $(winpath "$out/session1.txt")" >/dev/null
wait_for "grep -q '^done screenshot .*11-sound-window' '$out/host.log'" 120 ||
    { echo "demo: the first half of the session did not end" >&2; exit 1; }
echo "marrowick.notify_version: 4" >>"$out/plugin/Marrowick.rc"
wine "$bin/blackbox.exe" -exec "script $(winpath "$out/session2.txt")" >/dev/null
wait_for "! kill -0 $host_pid 2>/dev/null" 120 || { echo "demo: the session did not end" >&2; exit 1; }
wait "$host_pid" || { echo "demo: the host failed" >&2; exit 1; }

echo "demo: the session, as the host ran it:"
tr -d '\r' <"$out/host.log" |
    sed -n 's/^run \(@.*\)/    \1/p; s/^run \(key .*\|reconfigure\)$/    \1/p;
            s/^run screenshot .*\\\\\(.*\)\.bmp$/        -> \1.png/p'

shots=0
for bmp in "$out"/*.bmp; do
    # The middle of the screen, where the list, the menus and the windows are.
    convert "$bmp" -gravity center -crop 800x500+0+0 +repage "${bmp%.bmp}.png"
    rm "$bmp"
    shots=$((shots + 1))
done
# Each step for a second and a half, the last one for four.
pngs=("$out"/[0-9]*.png)
convert -delay 150 "${pngs[@]:0:${#pngs[@]}-1}" -delay 400 "${pngs[-1]}" -loop 0 \
    -layers Optimize "$out/session.gif"
echo "demo: $shots screenshots and session.gif in ${out#$root/}/:"
ls "$out"/*.png | sed "s|^$root/|    |"
for name in mail sound network; do
    echo "demo: $name received:"
    if [ -s "$out/$name.log" ]; then tr -d '\r' <"$out/$name.log" | sed 's/^/    /'; else echo "    nothing"; fi
done

# What each program must have done: the mail menu opened and its Open item
# chosen, the sound window opened, and the network program's menu opened
# only for the click in its own form.
expect() {
    tr -d '\r' <"$out/$1.log" | grep -q "$2" || { echo "demo: $1 did not log \"$2\"" >&2; exit 1; }
}
expect mail '^mail menu id=1 at='
expect mail '^mail chose Open$'
expect mail '^mail window id=1$'
expect sound '^sound window id=1$'
expect network '^network v4 id=0 WM_RBUTTONUP at=2,0$'
expect network '^network v4 id=1 WM_CONTEXTMENU at='
expect network '^network menu id=1 at='
[ "$(grep -c ' menu ' "$out/network.log")" -eq 1 ] ||
    { echo "demo: the network program opened a menu for a click in the classic form" >&2; exit 1; }
[ "$shots" -eq 13 ] || { echo "demo: expected 13 screenshots" >&2; exit 1; }
echo "demo: done"
