#!/usr/bin/env bash
# scripts/backports-source.sh --add puts the backports entry on the machine
# and updates APT's lists, or leaves the machine's sources exactly as they
# were: when the update cannot fetch the backports suite, when the entry is
# there already, without root, and when the file's name is taken. An update
# that fails for another suite's index (a mirror mid-sync) keeps the entry. A sample APT
# directory with file: URIs, and fake apt-get, apt-cache and id on the PATH
# that log what they are asked.
set -euo pipefail

script="$(cd "$(dirname "$0")/../.." && pwd)/scripts/backports-source.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
apt="$work/apt"
bin="$work/bin"
mkdir -p "$bin"
failures=0

# id -u prints $FAKE_UID.
cat >"$bin/id" <<'FAKE'
#!/bin/sh
[ "$*" = -u ] && echo "$FAKE_UID"
FAKE
# apt-cache policy prints $work/policy: Debian's archive for bookworm, once
# APT has fetched its lists (see apt-get update).
cat >"$bin/apt-cache" <<'FAKE'
#!/usr/bin/env bash
[ "$*" = policy ] || { echo "fake apt-cache: unexpected arguments: $*" >&2; exit 1; }
cat "$WORK/policy" 2>/dev/null || true
FAKE
# apt-get update logs which sources files there are while it runs, fetches
# the policy, and fails with the error $UPDATE_FAILS when that is set;
# apt-get anything else logs its arguments.
cat >"$bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
if [ "$1" = update ]; then
    echo "apt-get update with $(cd "$MARROWICK_APT_DIR/sources.list.d" && echo *)" >>"$WORK/log"
    cp "$WORK/fetched-policy" "$WORK/policy"
    if [ -n "${UPDATE_FAILS:-}" ]; then
        echo "$UPDATE_FAILS" >&2
        exit 100
    fi
    exit 0
fi
echo "apt-get $*" >>"$WORK/log"
FAKE
chmod +x "$bin"/*
cat >"$work/fetched-policy" <<'POLICY'
Package files:
 100 /var/lib/dpkg/status
     release a=now
 500 file:/srv/archive/debian bookworm/main amd64 Packages
     release v=12,o=Debian,a=stable,n=bookworm,l=Debian,c=main,b=amd64
Pinned packages:
POLICY

# sources FILE: the sample APT directory holds FILE, read from standard input,
# and APT has fetched the lists of its archives.
sources() {
    rm -rf "$apt" "$work/log" "$work/before"
    mkdir -p "$apt/sources.list.d"
    cat >"$apt/$1"
    cp -r "$apt" "$work/before"
    cp "$work/fetched-policy" "$work/policy"
    : >"$work/log"
}

# expect CASE STATUS OUTPUT LOG [UID]: --add for bookworm, as UID (default 0),
# exits with STATUS, prints OUTPUT (standard error included) and runs the
# apt-get commands in LOG.
expect() {
    local got status=0 ran
    got="$(MARROWICK_APT_DIR="$apt" WORK="$work" FAKE_UID="${5:-0}" PATH="$bin:$PATH" MARROWICK_APT_PAUSE=0 \
        bash "$script" --add bookworm 2>&1)" || status=$?
    ran="$(cat "$work/log")"
    if [ "$got" != "$3" ] || [ $status -ne "$2" ] || [ "$ran" != "$4" ]; then
        printf 'FAIL %s\n  expected (exit %d):\n%s\n%s\n  got (exit %d):\n%s\n%s\n' \
            "$1" "$2" "$3" "$4" $status "$got" "$ran" >&2
        failures=$((failures + 1))
    fi
}

# unchanged CASE: the sample APT directory is as it was before the case.
unchanged() {
    diff -r "$work/before" "$apt" >/dev/null || {
        printf 'FAIL %s: the sources changed:\n%s\n' "$1" "$(diff -r "$work/before" "$apt")" >&2
        failures=$((failures + 1))
    }
}

debian_source() {
    sources sources.list <<'SOURCES'
deb [signed-by=/usr/share/keyrings/debian.gpg] file:/srv/archive/debian bookworm main
SOURCES
}

debian_source
expect "the entry is added and the lists updated" 0 \
    "backports-source: added bookworm-backports in $apt/sources.list.d/bookworm-backports.sources" \
    "apt-get update with bookworm-backports.sources"
added="$apt/sources.list.d/bookworm-backports.sources"
if ! grep -qx 'URIs: file:/srv/archive/debian' "$added" 2>/dev/null ||
    ! grep -qx 'Suites: bookworm-backports' "$added" ||
    ! grep -qx 'Signed-By: /usr/share/keyrings/debian.gpg' "$added"; then
    printf 'FAIL the added entry:\n%s\n' "$(cat "$added" 2>&1)" >&2
    failures=$((failures + 1))
fi

retry="backports-source: apt-get update failed; trying again in 0 s"
updates="apt-get update with bookworm-backports.sources
apt-get update with bookworm-backports.sources
apt-get update with bookworm-backports.sources"
debian_source
without_release="The repository 'file:/srv/archive/debian bookworm-backports Release' does not have a Release file"
no_release="E: $without_release."
UPDATE_FAILS=$no_release expect "a failing update takes the entry out again" 1 \
    "$retry
$retry
backports-source: $without_release; going on with the lists APT has
backports-source: $without_release; $apt/sources.list.d/bookworm-backports.sources removed again; try again later" \
    "$updates"
unchanged "a failing update takes the entry out again"

debian_source
index=file:/srv/archive/debian/dists/bookworm-backports/main/binary-amd64/Packages.xz
UPDATE_FAILS="E: Failed to fetch $index  Hash Sum mismatch" \
    expect "the backports index mid-sync takes the entry out again" 1 \
    "$retry
$retry
backports-source: APT could not fetch $index (the mirror is mid-sync); going on with the lists APT has
backports-source: APT could not fetch $index (the mirror is mid-sync); $apt/sources.list.d/bookworm-backports.sources removed again; try again later" \
    "$updates"
unchanged "the backports index mid-sync takes the entry out again"

debian_source
index=file:/srv/archive/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz
UPDATE_FAILS="E: Failed to fetch $index  File has unexpected size (1 != 2). Mirror sync in progress?" \
    expect "another suite's index mid-sync keeps the entry" 0 \
    "$retry
$retry
backports-source: APT could not fetch $index (the mirror is mid-sync); going on with the lists APT has
backports-source: added bookworm-backports in $apt/sources.list.d/bookworm-backports.sources" \
    "$updates"

sources sources.list <<'SOURCES'
deb file:/srv/archive/debian bookworm main
deb file:/srv/archive/debian bookworm-backports main
SOURCES
expect "an entry already there is updated, not added" 0 \
    "backports-source: bookworm-backports is already a source, in $apt/sources.list" \
    "apt-get update with *"
unchanged "an entry already there is updated, not added"

# Lists never fetched (as container images ship): APT is asked for them first.
debian_source
rm "$work/policy"
expect "the lists are fetched when APT knows no archive yet" 0 \
    "backports-source: added bookworm-backports in $apt/sources.list.d/bookworm-backports.sources" \
    "apt-get update with *
apt-get update with bookworm-backports.sources"

debian_source
expect "without root nothing is touched" 1 \
    "backports-source: adding a source needs root" "" 1000
unchanged "without root nothing is touched"

sources sources.list.d/bookworm-backports.sources <<'SOURCES'
Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm
Components: main

Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm-backports
Components: main
Enabled: no
SOURCES
expect "a file of that name is never overwritten" 1 \
    "backports-source: $apt/sources.list.d/bookworm-backports.sources exists but has no enabled entry for bookworm-backports; enable it there" ""
unchanged "a file of that name is never overwritten"

[ $failures -eq 0 ] && echo "backports-source --add: all cases pass"
exit $((failures > 0))
