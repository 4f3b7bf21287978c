#!/usr/bin/env bash
# Sends host commands to the demo's running blackbox.exe (INTERACTIVE=1 demo):
#   scripts/demo-exec.sh '@Marrowick.Next' ['@Marrowick.Send LeftClick' ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/demo/wineprefix-monitors" WINEARCH=win64 WINEDEBUG=-all
args=()
for command in "$@"; do args+=(-exec "$command"); done
exec wine "$root/build/win32/devhost/blackbox.exe" "${args[@]}"
