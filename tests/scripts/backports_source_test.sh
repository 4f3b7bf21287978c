#!/usr/bin/env bash
# scripts/backports-source.sh copies the machine's own source for a release in
# Debian's archive into a backports entry: from a deb822 entry, from a one-line
# entry with its options, never from a vendor's source for the same release,
# nothing when the machine has a backports entry already, disabled entries
# passed over, and a clear failure when the release has none. Sample APT
# directories only, whose entries point at local archives (file: URIs), and a
# fake apt-cache whose policy says which archive is whose, so that no host is
# named.
set -euo pipefail

script="$(cd "$(dirname "$0")/../.." && pwd)/scripts/backports-source.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
apt="$work/apt"
mkdir -p "$work/bin"
failures=0

# apt-cache policy prints $work/policy, as apt-cache does from the Release
# files of the archives it fetched.
cat >"$work/bin/apt-cache" <<'FAKE'
#!/usr/bin/env bash
[ "$*" = policy ] || { echo "fake apt-cache: unexpected arguments: $*" >&2; exit 1; }
cat "$POLICY"
FAKE
chmod +x "$work/bin/apt-cache"

# policy "URI ORIGIN CODENAME"...: what each archive's Release file says about
# itself (an origin may hold a space, as "Vendor Inc" does).
policy() {
    local archive uri origin codename
    printf 'Package files:\n 100 /var/lib/dpkg/status\n     release a=now\n' >"$work/policy"
    for archive in "$@"; do
        uri=${archive%% *} codename=${archive##* }
        origin=${archive#"$uri "} origin=${origin%" $codename"}
        printf ' 500 %s %s/main amd64 Packages\n     release v=12,o=%s,a=stable,n=%s,l=%s,c=main,b=amd64\n' \
            "$uri" "$codename" "$origin" "$codename" "$origin" >>"$work/policy"
    done
    echo "Pinned packages:" >>"$work/policy"
}

# expect CASE STATUS OUTPUT: the script on $apt for bookworm exits with
# STATUS and prints OUTPUT (standard error included).
expect() {
    local got status=0
    got="$(MARROWICK_APT_DIR="$apt" POLICY="$work/policy" PATH="$work/bin:$PATH" \
        bash "$script" bookworm 2>&1)" || status=$?
    if [ "$got" != "$3" ] || [ $status -ne "$2" ]; then
        printf 'FAIL %s\n  expected (exit %d):\n%s\n  got (exit %d):\n%s\n' "$1" "$2" "$3" $status "$got" >&2
        failures=$((failures + 1))
    fi
}

# sample FILE...: the sample APT directory holds only these files, each read
# from standard input in turn, separated by lines "----".
sample() {
    local file text
    rm -rf "$apt"
    mkdir -p "$apt/sources.list.d"
    text=$(cat)
    for file in "$@"; do
        printf '%s\n' "${text%%$'\n'----*}" >"$apt/$file"
        text=${text#*$'\n'----$'\n'}
    done
}

policy "file:/srv/archive/debian Debian bookworm" "file:/srv/archive/sources Debian bookworm" \
    "file:/srv/archive/security Debian bookworm-security" "file:/srv/archive/off Debian bookworm"

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
Architectures: amd64
Signed-By: /usr/share/keyrings/sample.gpg"

sample sources.list <<'SOURCES'
deb file:/srv/archive/debian trixie main
SOURCES
expect "no entry for the release" 1 "backports-source: no source for bookworm in Debian's archive in $apt/sources.list.d/*.sources or $apt/sources.list; configure one for bookworm first"

# A vendor's archive for the same release, listed first in each format, and
# in the same stanza as Debian's (on continuation lines): only Debian's
# address is copied, whichever way it is written (a trailing slash or not).
policy "file:/srv/archive/debian Debian bookworm" "file:/srv/vendor Vendor Inc bookworm" \
    "file:/srv/vendor/tools Vendor Inc bookworm"
sample sources.list.d/00-vendor.sources sources.list.d/debian.sources <<'SOURCES'
Types: deb
URIs: file:/srv/vendor
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/vendor.gpg
----
Types: deb
URIs:
 file:/srv/vendor/tools
 file:/srv/archive/debian/
Suites: bookworm
Components: main
SOURCES
expect "a vendor's deb822 source for the release" 0 "Types: deb
URIs: file:/srv/archive/debian/
Suites: bookworm-backports
Components: main"

sample sources.list sources.list.d/vendor.list <<'SOURCES'
deb file:/srv/vendor bookworm main
deb [signed-by=/usr/share/keyrings/debian.gpg] file:/srv/archive/debian bookworm main
----
deb [signed-by=/usr/share/keyrings/vendor.gpg] file:/srv/vendor/tools bookworm main
SOURCES
expect "a vendor's one-line source for the release" 0 "Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian.gpg"

sample sources.list.d/vendor.list <<'SOURCES'
deb file:/srv/vendor bookworm main
SOURCES
expect "only a vendor's source for the release" 1 "backports-source: no source for bookworm in Debian's archive in $apt/sources.list.d/*.sources or $apt/sources.list; configure one for bookworm first"

# Every option of a one-line entry, each as its deb822 field, lists with
# spaces for commas; a deb822 entry's fields as they stand, a key block over
# continuation lines included.
policy "file:/srv/archive/debian Debian bookworm"
sample sources.list <<'SOURCES'
deb [ arch=amd64,i386 lang-=de target+=Contents-deb trusted=yes signed-by=/k/a.gpg,/k/b.gpg check-valid-until=no pdiffs=no by-hash=force inrelease-path=InRelease ] file:/srv/archive/debian bookworm main
SOURCES
expect "one-line options kept" 0 "Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm-backports
Components: main
Architectures: amd64 i386
Languages-Remove: de
Targets-Add: Contents-deb
Trusted: yes
Signed-By: /k/a.gpg /k/b.gpg
Check-Valid-Until: no
PDiffs: no
By-Hash: force
InRelease-Path: InRelease"

sample sources.list.d/debian.sources <<'SOURCES'
Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm
Architectures: amd64
Components: main
Trusted: yes
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 c2FtcGxl
 -----END PGP PUBLIC KEY BLOCK-----
X-Repolib-Name: Debian
SOURCES
expect "deb822 options kept" 0 "Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm-backports
Architectures: amd64
Components: main
Trusted: yes
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 c2FtcGxl
 -----END PGP PUBLIC KEY BLOCK-----
X-Repolib-Name: Debian"

# A backports entry for the release is there already, in either format: no
# second one. One that is disabled does not count.
sample sources.list.d/debian.sources <<'SOURCES'
Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm bookworm-backports
Components: main
SOURCES
expect "a deb822 backports entry already there" 0 \
    "backports-source: bookworm-backports is already a source, in $apt/sources.list.d/debian.sources"

sample sources.list sources.list.d/backports.list <<'SOURCES'
deb file:/srv/archive/debian bookworm main
----
deb [trusted=yes] file:/srv/archive/debian bookworm-backports main
SOURCES
expect "a one-line backports entry already there" 0 \
    "backports-source: bookworm-backports is already a source, in $apt/sources.list.d/backports.list"

sample sources.list sources.list.d/backports.sources <<'SOURCES'
deb file:/srv/archive/debian bookworm main
  # deb file:/srv/archive/debian bookworm-backports main
----
Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm-backports
Components: main
Enabled: no
SOURCES
expect "a disabled backports entry does not count" 0 "Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm-backports
Components: main"

# Every way APT reads "disabled": Enabled with a false value in any case
# (no, false, off, without, disable or a number that is 0), every line of the
# stanza commented out, a commented-out one-line entry, a file whose name APT
# does not read. Each points at an archive of its own, all of them Debian's.
policy "file:/srv/archive/debian Debian bookworm" "file:/srv/archive/off1 Debian bookworm" \
    "file:/srv/archive/off2 Debian bookworm" "file:/srv/archive/off3 Debian bookworm" \
    "file:/srv/archive/off4 Debian bookworm" "file:/srv/archive/off5 Debian bookworm" \
    "file:/srv/archive/off6 Debian bookworm" "file:/srv/archive/off7 Debian bookworm" \
    "file:/srv/archive/off8 Debian bookworm"
sample sources.list.d/a.sources sources.list.d/b.sources.disabled sources.list.d/c.sources \
    sources.list <<'SOURCES'
Types: deb
URIs: file:/srv/archive/off1
Suites: bookworm
Components: main
Enabled: false

Types: deb
URIs: file:/srv/archive/off2
Suites: bookworm
Enabled: NO
Components: main

Types: deb
URIs: file:/srv/archive/off3
Suites: bookworm
Components: main
Enabled: 0

Types: deb
URIs: file:/srv/archive/off4
Suites: bookworm
Components: main
enabled: Off

# Types: deb
# URIs: file:/srv/archive/off5
# Suites: bookworm
# Components: main
----
Types: deb
URIs: file:/srv/archive/off6
Suites: bookworm
Components: main
----
Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm
Components: main
Enabled: yes
----
#deb file:/srv/archive/off7 bookworm main
   # deb file:/srv/archive/off8 bookworm main
SOURCES
expect "disabled entries are passed over" 0 "Types: deb
URIs: file:/srv/archive/debian
Suites: bookworm-backports
Components: main"

[ $failures -eq 0 ] && echo "backports-source: all cases pass"
exit $((failures > 0))
