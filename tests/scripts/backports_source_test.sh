#!/usr/bin/env bash
# scripts/backports-source.sh copies the machine's own source for a release
# into a backports entry: from a deb822 entry, from a one-line entry, and a
# clear failure when the release has none. Sample APT directories only.
set -euo pipefail

script="$(cd "$(dirname "$0")/../.." && pwd)/scripts/backports-source.sh"
apt="$(mktemp -d)"
trap 'rm -rf "$apt"' EXIT
failures=0

# expect CASE STATUS OUTPUT: the script on $apt for bookworm exits with
# STATUS and prints OUTPUT (standard error included).
expect() {
    local got status=0
    got="$(MARROWICK_APT_DIR="$apt" bash "$script" bookworm 2>&1)" || status=$?
    if [ "$got" != "$3" ] || [ $status -ne "$2" ]; then
        printf 'FAIL %s\n  expected (exit %d):\n%s\n  got (exit %d):\n%s\n' "$1" "$2" "$3" $status "$got" >&2
        failures=$((failures + 1))
    fi
}

sample() { rm -rf "${apt:?}"/*; mkdir -p "$apt/sources.list.d"; cat >"$apt/$1"; }

# Before the release's entry: one for sources only, one for a suite whose name
# starts with the release's, one switched off.
sample sources.list.d/debian.sources <<'SOURCES'
Types: deb-src
URIs: http://sources.invalid/debian
Suites: bookworm
Components: main

Types: deb
URIs: http://security.invalid/debian-security
Suites: bookworm-security
Components: main

Types: deb
URIs: http://off.invalid/debian
Suites: bookworm
Components: main
Enabled: no

Types: deb deb-src
# A comment that is not copied.
URIs: http://mirror.invalid/debian
Suites: bookworm bookworm-updates
Components: main contrib
Signed-By: /usr/share/keyrings/sample.gpg
SOURCES
expect "deb822 entry" 0 "Types: deb
URIs: http://mirror.invalid/debian
Suites: bookworm-backports
Components: main contrib
Signed-By: /usr/share/keyrings/sample.gpg"

sample sources.list <<'SOURCES'
# deb http://old.invalid/debian bookworm main
deb-src http://sources.invalid/debian bookworm main
deb http://security.invalid/debian-security bookworm-security main
deb [arch=amd64 signed-by=/usr/share/keyrings/sample.gpg] http://mirror.invalid/debian bookworm main non-free-firmware
SOURCES
expect "one-line entry" 0 "Types: deb
URIs: http://mirror.invalid/debian
Suites: bookworm-backports
Components: main non-free-firmware
Signed-By: /usr/share/keyrings/sample.gpg"

sample sources.list <<'SOURCES'
deb http://mirror.invalid/debian trixie main
SOURCES
expect "no entry for the release" 1 "backports-source: no Debian source for bookworm in $apt/sources.list.d/*.sources or $apt/sources.list; configure one for bookworm first"

[ $failures -eq 0 ] && echo "backports-source: all cases pass"
exit $((failures > 0))
