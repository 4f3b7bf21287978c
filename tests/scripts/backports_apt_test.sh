#!/usr/bin/env bash
# scripts/backports-source.sh --add with the real APT (apt-get and apt-cache,
# pointed by APT_CONFIG at a private directory tree) and local archives
# reached through file: URIs: a vendor's and Debian's, each with a Release
# file that says whose it is. The backports entry is taken from Debian's
# archive and APT fetches the suite through it; where Debian's archive has no
# backports suite the update fails, the entry is taken out, and the machine's
# own update works again; where another suite's index is mid-sync (its size
# not the one its Release file says), the entry is added all the same. Only
# `id` is a fake, so that no root is needed.
set -euo pipefail

script="$(cd "$(dirname "$0")/../.." && pwd)/scripts/backports-source.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

fail() { printf 'FAIL %s\n' "$1" >&2; failures=$((failures + 1)); }

# archive NAME ORIGIN SUITE: an archive of one sample package at
# $work/archive/NAME whose Release file says ORIGIN and SUITE.
archive() {
    local dists="$work/archive/$1/dists/$3"
    mkdir -p "$dists/main/binary-amd64"
    printf 'Package: sample\nVersion: 1\nArchitecture: all\n' >"$dists/main/binary-amd64/Packages"
    cat >"$dists/Release" <<RELEASE
Origin: $2
Label: $2
Codename: $3
Architectures: amd64
Components: main
Date: $(LC_ALL=C date -u -R)
SHA256:
 $(sha256sum <"$dists/main/binary-amd64/Packages" | cut -d' ' -f1) $(wc -c <"$dists/main/binary-amd64/Packages") main/binary-amd64/Packages
RELEASE
}

# The private APT: its sources in $apt, its lists and cache beside them.
apt="$work/etc"
mkdir -p "$apt/sources.list.d" "$apt/apt.conf.d" "$apt/preferences.d" \
    "$work/state/lists/partial" "$work/cache/archives/partial"
touch "$work/state/status"
cat >"$work/apt.conf" <<CONF
Dir::Etc "$apt";
Dir::Etc::Parts "$apt/apt.conf.d";
Dir::Etc::PreferencesParts "$apt/preferences.d";
Dir::State "$work/state";
Dir::State::status "$work/state/status";
Dir::Cache "$work/cache";
APT::Sandbox::User "root";
Debug::NoLocking "true";
APT::Architecture "amd64";
APT::Architectures { "amd64"; };
Acquire::Languages "none";
CONF
mkdir -p "$work/bin"
printf '#!/bin/sh\necho 0\n' >"$work/bin/id"
chmod +x "$work/bin/id"
export APT_CONFIG="$work/apt.conf" MARROWICK_APT_DIR="$apt" PATH="$work/bin:$PATH" \
    MARROWICK_APT_PAUSE=0

archive vendor "Vendor Inc" bookworm
archive debian Debian bookworm
cat >"$apt/sources.list" <<SOURCES
deb [trusted=yes] file:$work/archive/vendor bookworm main
deb [trusted=yes arch=amd64] file:$work/archive/debian bookworm main
SOURCES
apt-get update -qq >/dev/null || fail "the sample archives do not update"
cp -r "$apt" "$work/before"

# Debian's archive has no backports suite yet: the update fails, the entry
# goes, and the machine's own sources update as before.
if bash "$script" --add bookworm >"$work/out" 2>&1; then
    fail "an update that cannot fetch the backports suite: added anyway"
fi
grep -q 'removed again' "$work/out" || fail "the failed update is not reported: $(cat "$work/out")"
diff -r "$work/before" "$apt" >/dev/null || fail "the sources changed after a failed update"
apt-get update -qq >/dev/null 2>&1 || fail "the machine's update fails after the rolled-back entry"

# With the suite there: the entry is Debian's, its options kept, and APT
# knows the suite as Debian's backports, although the security suite's index
# changed after its Release file was written, as on a mirror mid-sync.
archive debian Debian bookworm-backports
archive security Debian bookworm-security
echo "deb [trusted=yes] file:$work/archive/security bookworm-security main" >>"$apt/sources.list"
echo "Package: other" >>"$work/archive/security/dists/bookworm-security/main/binary-amd64/Packages"
bash "$script" --add bookworm >"$work/out" 2>&1 || fail "the entry is not added: $(cat "$work/out")"
grep -q "could not fetch file:$work/archive/security/.*(the mirror is mid-sync); going on" "$work/out" ||
    fail "the index mid-sync is not named: $(cat "$work/out")"
added="$apt/sources.list.d/bookworm-backports.sources"
grep -qx "URIs: file:$work/archive/debian" "$added" 2>/dev/null ||
    fail "the entry is not at Debian's address: $(cat "$added" 2>&1)"
if ! grep -qx "Trusted: yes" "$added" || ! grep -qx "Architectures: amd64" "$added"; then
    fail "the entry lost its options: $(cat "$added")"
fi
LC_ALL=C apt-cache policy 2>/dev/null | grep -q 'o=Debian,.*n=bookworm-backports' ||
    fail "APT does not know bookworm-backports: $(LC_ALL=C apt-cache policy 2>&1)"
if ! bash "$script" --add bookworm >"$work/out" 2>&1 || ! grep -q 'already a source' "$work/out"; then
    fail "a second --add did not find its entry: $(cat "$work/out")"
fi
[ "$(ls "$apt/sources.list.d")" = bookworm-backports.sources ] || fail "more than one entry added"

[ $failures -eq 0 ] && echo "backports-source with APT: all cases pass"
exit $((failures > 0))
