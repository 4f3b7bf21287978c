#!/usr/bin/env bash
# scripts/install-deps.sh decides by Debian package, not by a command on the
# PATH: its dry run against a fake dpkg-query, with commands named like the
# packages on the PATH, whatever this machine has installed.
set -euo pipefail

script="$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps.sh"
bin="$(mktemp -d)"
trap 'rm -rf "$bin"' EXIT
failures=0

# dpkg-query -W -f=FORMAT PACKAGE: not installed when PACKAGE is in $MISSING,
# held when in $HELD, installed otherwise.
cat >"$bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
package="${!#}"
for missing in $MISSING; do
    [ "$package" = "$missing" ] || continue
    echo "dpkg-query: no packages found matching $package" >&2
    exit 1
done
for held in $HELD; do
    [ "$package" = "$held" ] && { printf 'hold ok installed'; exit 0; }
done
printf 'install ok installed'
FAKE
# Commands that are on this PATH but not from their packages, and an apt-get
# that a dry run must never reach.
printf '#!/bin/sh\nexit 0\n' >"$bin/convert"
printf '#!/bin/sh\nexit 0\n' >"$bin/cmake"
printf '#!/bin/sh\necho "apt-get ran" >&2; exit 1\n' >"$bin/apt-get"
chmod +x "$bin"/*

# expect CASE MISSING HELD OUTPUT: the dry run prints OUTPUT and succeeds.
expect() {
    local got status=0
    got="$(MISSING="$2" HELD="$3" PATH="$bin:$PATH" bash "$script" --dry-run 2>&1)" || status=$?
    if [ "$got" != "$4" ] || [ $status -ne 0 ]; then
        printf 'FAIL %s\n  expected: %s\n  got:      %s (exit %d)\n' "$1" "$4" "$got" $status >&2
        failures=$((failures + 1))
    fi
}

expect "commands on the PATH do not stand for their packages" \
    "imagemagick cmake" "" "install-deps: would install cmake imagemagick"
expect "the 64-bit Wine and cross compiler are asked for" \
    "wine64 g++-mingw-w64-x86-64 wine32:i386" "" \
    "install-deps: would install g++-mingw-w64-x86-64 wine32:i386 wine64"
expect "a held package is installed" \
    "zip" "wine64 imagemagick" "install-deps: would install zip"
expect "everything installed" \
    "" "" "install-deps: nothing to install"

[ $failures -eq 0 ] && echo "install-deps: all cases pass"
exit $((failures > 0))
