#!/usr/bin/env bash
# scripts/backports-source.sh copies the machine's own source for a release
# into a backports entry: from a deb822 entry, from a one-line entry, and a
# clear failure when the release has none. Sample APT directories only, whose
# entries point at local archives (file: URIs), so that no host is named.
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
URIs: file:/srv/archive/sources
Suites: bookworm
Components: main

Types: deb
URIs: file:/srv/archive/security
Suites: bookworm-security
Components: main

Types: deb
URIs: file:/srv/archive/off
Suites: bookworm
Components: main
Enabled: no

Types: deb deb-src
# A comment that is not copied.
URIs: file:/srv/archive/debian
Suites: bookworm bookworm-updates
Components: main contrib
Signed-By: /usr/share/keyrings/sample.gpg
SOURCES
expect "deb822 entry" 0 "Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm-backports
Components: main contrib
Signed-By: /usr/share/keyrings/sample.gpg"

sample sources.list <<'SOURCES'
# deb file:/srv/archive/old bookworm main
deb-src file:/srv/archive/sources bookworm main
deb file:/srv/archive/security bookworm-security main
deb [arch=amd64 signed-by=/usr/share/keyrings/sample.gpg] file:/srv/archive/debian bookworm main non-free-firmware
SOURCES
expect "one-line entry" 0 "Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm-backports
Components: main non-free-firmware
Signed-By: /usr/share/keyrings/sample.gpg"

sample sources.list <<'SOURCES'
deb file:/srv/archive/debian trixie main
SOURCES
expect "no entry for the release" 1 "backports-source: no Debian source for bookworm in $apt/sources.list.d/*.sources or $apt/sources.list; configure one for bookworm first"

[ $failures -eq 0 ] && echo "backports-source: all cases pass"
exit $((failures > 0))
