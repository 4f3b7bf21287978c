#!/usr/bin/env bash
# The demo: Marrowick in the stand-in host blackbox.exe, which is Wine's
# system tray, with six icons of three unmodified tray programs that put
# them in with Shell_NotifyIcon: two that declared no notification version
# (32-bit, one through Shell_NotifyIconW, one through Shell_NotifyIconA) and
# one of version 4 (64-bit). It plays a bro@m session (show, move, wrap, a
# right click that opens a program's real menu and an item chosen from it, a
# double click that opens a program's window, and the version-4 program
# clicked in the classic form and in its own); then, with the list
# interactive, a keyboard session (one bro@m, then arrows, a first letter,
# Enter and the Apps key) and a mouse session (hover, a right click on a
# row); a Click bro@m that opens a program's menu without the list; a mixed
# tray, where a pair for the network program gives it its own form beside
# the classic one of the others; and the list on the second of two monitors. It saves a PNG of each step and an
# animated GIF of them all in out/demo/, and prints what each tray program
# received, decoded as its version reads it.
#
#   scripts/demo.sh                  run the session on a private Xvfb and exit
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

# The X11 driver of the demo's prefix takes the monitors from Xinerama
# (UseXRandR=N), which the X server answers from xrandr's monitors; Wine 8
# otherwise takes them from RandR's outputs, of which Xvfb has one.
wine_session demo "$root/build/demo/wineprefix-monitors" UseXRandR=N
if [ "$interactive" = 0 ]; then
    # Two monitors of 1024x768 side by side, the left one primary: every step
    # but the last one plays on the left one. Without -noreset the server
    # would reset, forgetting the monitors, when xrandr disconnects.
    start_xvfb 2048x768x24 -noreset
    xrandr --setmonitor left 1024/270x768/203+0+0 screen >/dev/null
    xrandr --setmonitor right 1024/270x768/203+1024+0 none >/dev/null
    echo "demo: Xvfb on $DISPLAY, two monitors of 1024x768 side by side"
fi
start_wineserver

# The demo's settings beside the plug-in, and the lines given after them.
settings() {
    { cat "$root/devhost/demo/Marrowick.rc"; printf '%s\n' "$@"; } >"$out/plugin/Marrowick.rc"
}
rm -rf "$out"
mkdir -p "$out/plugin"
cp "$root/build/win32/Marrowick.dll" "$out/plugin/"
settings

wine "$bin/blackbox.exe" -log "$(winpath "$out/host.log")" \
    "$(winpath "$out/plugin/Marrowick.dll")" >"$out/host.out" 2>&1 &
host_pid=$!
track $host_pid
wait_for "grep -q '^ready ' '$out/host.log' 2>/dev/null" 60 ||
    { echo "demo: the host did not start" >&2; cat "$out/host.log" >&2; exit 1; }
grep -E '^(plugin|tray window) ' "$out/host.log" | sed 's/^/demo: /'
# Wine 10's X11 driver places a second monitor only at a RandR 1.4 output of
# its own, and Xvfb has one: it puts the right monitor on the left one, as
# the host's "monitors" line shows. There the last step, the list on the
# right monitor, is left out.
second_monitor=1
monitors=$(tr -d '\r' <"$out/host.log" | sed -n 's/^monitors *//p')
if [ "$interactive" = 0 ] && [ "$monitors" != "0,0,1024,768 1024,0,1024,768" ]; then
    second_monitor=0
    echo "demo: this Wine sees the two monitors as \"$monitors\" (its X11 driver places a" \
        "second monitor only at a RandR 1.4 output, and Xvfb has one): the last step," \
        "the list on the right monitor, is left out"
fi

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
# Each program runs from a file of its own, mail.exe, sound.exe and
# network.exe, as different programs do: marrowick.notify_version_by_program
# tells them apart by those names.
cp "$bin/trayapp.exe" "$out/mail.exe"
cp "$bin/trayapp.exe" "$out/sound.exe"
cp "$bin64/trayapp64.exe" "$out/network.exe"
start_tray "$out/mail.exe" mail \
    '1 #e08a20 M Mail: 3 new messages' '2 #c83c3c B Backup finished\n1,204 files'
start_tray "$out/sound.exe" sound -ansi \
    '1 #2f7fe0 V Volume 40%\nMuted' '2 #9050c8 P Music player: paused'
start_tray "$out/network.exe" network -version 4 \
    '1 #2fa050 N Network: Wired\nConnected, 100 Mbit/s' '2 #607080 K VPN: off'
echo "demo: 6 icons from 3 programs, put in with Shell_NotifyIcon: mail.exe (32-bit),"
echo "    sound.exe (32-bit, the ANSI call), network.exe (64-bit, notification version 4)"

if [ "$interactive" = 1 ]; then
    cat <<EOF
demo: the host runs on $DISPLAY. Drive it from another shell, for example:
    scripts/demo-exec.sh '@Marrowick.Next'
    scripts/demo-exec.sh '@Marrowick.Send RightClick'
    scripts/demo-exec.sh 'key escape'
    scripts/demo-exec.sh 'mouse move 500 380'
    scripts/demo-exec.sh 'window Marrowick'    (where the list lies, in $out/host.log)
    scripts/demo-exec.sh 'screenshot $(winpath "$out/shot.bmp")'
    scripts/demo-exec.sh tray          (the tray, one icon a line, in $out/host.log)
    scripts/demo-exec.sh quit          (ends the demo)
A setting added to $out/plugin/Marrowick.rc takes effect after
    scripts/demo-exec.sh reconfigure
for example marrowick.interactive: true, for the keys and the mouse.
Any Windows program with a tray icon joins the tray when started beside it:
    WINEPREFIX=$WINEPREFIX wine some-program.exe
What the tray programs receive is logged in $out/*.log.
EOF
    wait "$host_pid" || true
    exit 0
fi

shot() { echo "screenshot $(winpath "$out/$1.bmp")"; }
# A frame that shows what a click opened in a program waits for it first:
# "await shown #32768" for a popup menu, "await shown CLASS TITLE" for a
# window; "await hidden #32768" for a menu closed. The pauses after them
# only pace the GIF's frames.
window_class=MarrowickDemoTrayWindow
# Hands a part of the session to the running host and waits until the part's
# last screenshot is saved; a wait of the part that timed out fails it.
play() {
    wine "$bin/blackbox.exe" -exec "script $(winpath "$out/$1.txt")" >/dev/null
    wait_for "grep -q '^done screenshot .*$2' '$out/host.log'" 120 ||
        { echo "demo: $1 did not end" >&2; exit 1; }
    if tr -d '\r' <"$out/host.log" | grep '^error await'; then
        echo "demo: $1 did not see what it waited for" >&2
        exit 1
    fi
}
# The list window's place as "window Marrowick" logged it (LEFT,TOP,WIDTH,
# HEIGHT), the first time (1) or the last time ($).
list_place() {
    tr -d '\r' <"$out/host.log" | sed -n 's/^window Marrowick .*rect=//p' | sed -n "$1p"
}
# Where row N of the six lies on the screen, a third of the way in: rows of
# one height between the base padding at the list's top and bottom.
row_point() {
    local rows=6 padding left top width height
    padding=$(sed -n 's/^marrowick.base_padding: *\([0-9]*\).*/\1/p' "$root/devhost/demo/Marrowick.rc")
    IFS=, read -r left top width height <<<"$(list_place 1)"
    echo "$((left + width / 3))" \
        "$((top + padding + (2 * $1 + 1) * (height - 2 * padding) / (2 * rows)))"
}

cat >"$out/session1.txt" <<EOF
# The pointer to the middle of the left monitor, where the list, the menus
# and the windows open.
mouse move 512 384
# Show the list: the first row is highlighted. The host logs where the list
# lies, for the mouse to point at its rows later.
@Marrowick.Next
window Marrowick
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
await shown #32768
wait 300
$(shot 07-mail-menu)
# ...and its first item, chosen with the keyboard, opens its window.
key down
wait 300
$(shot 08-menu-item)
key return
await shown $window_class mail
wait 300
$(shot 09-mail-window)
# A double click on the volume icon opens the sound program's window.
@Marrowick.Prev
@Marrowick.Prev
@Marrowick.Prev
@Marrowick.Prev
$(shot 10-on-volume)
@Marrowick.Send LeftDoubleClick
await shown $window_class sound
wait 300
$(shot 11-sound-window)
EOF
play session1 11-sound-window

# Then, with marrowick.notify_version 4, the form version-4 programs read.
cat >"$out/session2.txt" <<EOF
reconfigure
@Marrowick.Prev
@Marrowick.Prev
$(shot 12-on-network)
@Marrowick.Send RightClick
await shown #32768
wait 300
$(shot 13-network-menu)
key escape
await hidden #32768
EOF
settings "marrowick.notify_version: 4"
play session2 13-network-menu

# The list interactive, in the version-4 form, on the network program, whose
# window is not open yet: one bro@m shows the list, and the keyboard drives
# it.
cat >"$out/session3.txt" <<EOF
reconfigure
@Marrowick.Next
$(shot 14-keys-shown)
key down
$(shot 15-key-down)
# A letter highlights the next row whose tip begins with it...
key n
$(shot 16-key-n)
# ...and Enter sends marrowick.enter_click, a double click by default: the
# network program opens its window.
key return
await shown $window_class network
wait 300
$(shot 17-key-return)
# Shown again: Up from the first row wraps to the last, and the Apps key
# sends a right click, which opens the network program's menu at the row.
@Marrowick.Next
key up
$(shot 18-key-up)
key apps
await shown #32768
wait 300
$(shot 19-key-apps)
key escape
await hidden #32768
EOF
settings "marrowick.interactive: true" "marrowick.notify_version: 4"
play session3 19-key-apps

# The mouse: the list shows under the pointer and keeps its highlight until
# the pointer moves; then the row under the pointer is highlighted, and a
# right click on it opens the network program's menu at the pointer.
hover=$(row_point 4)
cat >"$out/session4.txt" <<EOF
@Marrowick.Next
$(shot 20-mouse-shown)
mouse move $hover
$(shot 21-mouse-hover)
mouse right $hover
await shown #32768
wait 300
$(shot 22-mouse-right)
key escape
await hidden #32768
EOF
play session4 22-mouse-right

# Click: a bro@m clicks the first icon whose tip holds the text, without the
# list; the mail program's menu opens at the pointer, wherever it is.
cat >"$out/session5.txt" <<EOF
reconfigure
mouse move 330 300
@Marrowick.Click RightClick Mail
await shown #32768
wait 300
$(shot 23-click-mail-menu)
key escape
await hidden #32768
EOF
settings
play session5 23-click-mail-menu

# A mixed tray: marrowick.notify_version_by_program gives the network
# program its version-4 form, while the others keep the classic one. The
# same bro@ms open the mail program's menu and then the network program's.
cat >"$out/session6.txt" <<EOF
reconfigure
mouse move 520 390
@Marrowick.Next
@Marrowick.Send RightClick
await shown #32768
wait 300
$(shot 24-rule-mail-menu)
key escape
await hidden #32768
@Marrowick.Prev
@Marrowick.Prev
@Marrowick.Send RightClick
await shown #32768
wait 300
$(shot 25-rule-network-menu)
key escape
await hidden #32768
EOF
settings "marrowick.notify_version_by_program: network.exe=4"
play session6 25-rule-network-menu

# With marrowick.placement: monitor the list opens on the monitor the user
# works on: the pointer's, on the right, as no window is in front.
# Without the second monitor the host only quits.
if [ $second_monitor = 1 ]; then
    cat >"$out/session7.txt" <<EOF
reconfigure
mouse move 1536 384
@Marrowick.Next
window Marrowick
$(shot 26-second-monitor)
@Marrowick.Cancel
quit
EOF
else
    echo quit >"$out/session7.txt"
fi
settings "marrowick.placement: monitor"
wine "$bin/blackbox.exe" -exec "script $(winpath "$out/session7.txt")" >/dev/null
wait_for "! kill -0 $host_pid 2>/dev/null" 120 || { echo "demo: the session did not end" >&2; exit 1; }
wait "$host_pid" || { echo "demo: the host failed" >&2; exit 1; }

echo "demo: the session, as the host ran it:"
tr -d '\r' <"$out/host.log" |
    sed -n 's/^run \(@.*\)/    \1/p; s/^run \(key .*\|mouse .*\|window .*\|reconfigure\)$/    \1/p;
            s/^window Marrowick .* \(rect=.*\)/        -> \1/p;
            s/^run screenshot .*\\\\\(.*\)\.bmp$/        -> \1.png/p'

# Screenshots leave the pointer out; it is drawn in, an arrow with its tip
# where the host last put it before each screenshot.
pointer_at_shots() {
    tr -d '\r' <"$out/host.log" | awk '
        /^mouse .* at=/ { split(substr($NF, 4), at, ","); x = at[1]; y = at[2] }
        /^screenshot saved / { n = split($0, part, /\\/); sub(/\.bmp$/, "", part[n]); print part[n], x, y }'
}
arrow() {
    local x=$1 y=$2
    echo "polygon $x,$y $x,$((y + 16)) $((x + 4)),$((y + 12)) $((x + 7)),$((y + 19))" \
        "$((x + 9)),$((y + 18)) $((x + 6)),$((y + 11)) $((x + 11)),$((y + 11))"
}
shots=0
while read -r name x y; do
    if [[ $name == *-second-monitor ]]; then
        # Both monitors, at 800/2048 of their size, each outlined.
        convert "$out/$name.bmp" -resize 800x300 -fill none -stroke gray60 \
            -draw "rectangle 0,0 399,299" -draw "rectangle 400,0 799,299" \
            -fill white -stroke black -draw "$(arrow $((x * 800 / 2048)) $((y * 800 / 2048)))" \
            -background black -gravity center -extent 800x500 "$out/$name.png"
    else
        # The middle of the left monitor, where the list, the menus and the
        # windows are.
        convert "$out/$name.bmp" -crop 800x500+112+134 +repage -fill white -stroke black \
            -draw "$(arrow $((x - 112)) $((y - 134)))" "$out/$name.png"
    fi
    rm "$out/$name.bmp"
    shots=$((shots + 1))
done < <(pointer_at_shots)
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
# only for the clicks in its own form; with the keys, Enter on the network
# row opened its window and the Apps key on the VPN row its menu; with the
# mouse, a right click on the network row its menu at the pointer; Click the
# mail menu at the pointer; with its pair, the network program its menu
# (four in all: none for a click in the classic form); and the list showed
# on the right monitor.
expect() {
    tr -d '\r' <"$out/$1.log" | grep -q "$2" || { echo "demo: $1 did not log \"$2\"" >&2; exit 1; }
}
expect mail '^mail menu id=1 at=512,384$'
expect mail '^mail chose Open$'
expect mail '^mail window id=1$'
expect sound '^sound window id=1$'
expect network '^network v4 id=0 WM_RBUTTONUP at=2,0$'
expect network '^network v4 id=1 WM_CONTEXTMENU at='
expect network '^network window id=1$'
expect network '^network menu id=2 at='
expect network "^network v4 id=1 WM_CONTEXTMENU at=${hover/ /,}$"
expect network "^network menu id=1 at=${hover/ /,}$"
expect mail '^mail menu id=1 at=330,300$'
expect mail '^mail menu id=1 at=520,390$'
[ "$(grep -c ' menu ' "$out/network.log")" -eq 4 ] ||
    { echo "demo: the network program did not open its menu under its own form" >&2; exit 1; }
IFS=, read -r left top width height <<<"$(list_place '$')"
[ $second_monitor = 0 ] || { [ "$left" -ge 1024 ] && [ $((left + width)) -le 2048 ]; } ||
    { echo "demo: the list showed at $(list_place '$'), not on the right monitor" >&2; exit 1; }
[ "$shots" -eq $((25 + second_monitor)) ] ||
    { echo "demo: expected $((25 + second_monitor)) screenshots" >&2; exit 1; }
echo "demo: done"
