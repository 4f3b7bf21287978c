#!/usr/bin/env bash
# Creates the Wine prefix that the end-to-end tests and the demo run in, once:
#   scripts/wine-prefix.sh PREFIX [NAME=VALUE...]
# A 64-bit prefix, where 32-bit programs (the shell, the plug-in) and 64-bit
# ones (a 64-bit tray program) run side by side, without Mono and Gecko, whose
# windows the X11 driver does not hand to a window manager (Managed=N: no wait
# after each message box). Each NAME=VALUE is one more value of the X11
# driver's key, e.g. UseXRandR=N for a prefix that takes its monitors from
# Xinerama. Safe to run from several processes at once: the first creates,
# the others wait.
set -euo pipefail

prefix=${1:?usage: wine-prefix.sh PREFIX [NAME=VALUE...]}
shift
stamp="$prefix/.marrowick-ready-win64"
[ -e "$stamp" ] && exit 0

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock -w 600 9 || { echo "wine-prefix: $prefix is locked" >&2; exit 1; }
[ -e "$stamp" ] && exit 0

rm -rf "$prefix"
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
echo "wine-prefix: creating $prefix (once; about 20 s)"
start=$(date +%s)
timeout 600 wine wineboot --init
# A window opened while the new prefix's wineserver still settles stalls for
# seconds: wait for it first.
timeout 120 wineserver -w
for setting in Managed=N "$@"; do
    timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v "${setting%%=*}" /t REG_SZ \
        /d "${setting#*=}" /f >/dev/null
done
timeout 120 wineserver -w
touch "$stamp"
echo "wine-prefix: ready in $(( $(date +%s) - start )) s"
